#pragma once

#include <QStringList>

class ControllerCore;
class SceneRules;

// Shell completion: what may follow the words typed so far (the options,
// "--" and command words taken out by the caller's rules), from the tables
// the parser uses (the commands, their argument names, the key functions)
// and the user's files (profiles, macros). "FILE" stands for a file name:
// the shell completes it. The bash and zsh scripts ask through
// "r770ctl __complete WORD...".
namespace ctl {

QStringList completions(const QStringList &typed, ControllerCore &core, const SceneRules &rules);

} // namespace ctl
