# bash completion for r770ctl. The candidates come from r770ctl itself
# ("r770ctl __complete WORD..."), out of the tables its parser uses and the
# user's profiles and macros.
_r770ctl()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local IFS=$'\n'
    local -a candidates
    candidates=($("${COMP_WORDS[0]}" __complete "${COMP_WORDS[@]:1:COMP_CWORD-1}" 2>/dev/null))
    if [[ ${#candidates[@]} -eq 1 && ${candidates[0]} == FILE ]]; then
        COMPREPLY=($(compgen -f -- "$cur"))
        return
    fi
    [[ $cur == -* ]] && candidates+=(--json --verbose --help --version --)
    COMPREPLY=($(compgen -W "${candidates[*]}" -- "$cur"))
}
complete -F _r770ctl r770ctl
