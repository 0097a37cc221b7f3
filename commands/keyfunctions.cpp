#include "keyfunctions.h"

#include <QCoreApplication>
#include <algorithm>
#include <iterator>
#include <vector>

namespace keyfunctions {

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("r770ctl", source);
}

// Modifier words of a combination, by bit.
const std::vector<std::pair<const char *, int>> &modifierWords()
{
    static const std::vector<std::pair<const char *, int>> words = {
        {"ctrl", 0},   {"shift", 1},  {"alt", 2},   {"win", 3},   {"rctrl", 4},  {"rshift", 5},
        {"ralt", 6},   {"rwin", 7},   {"control", 0}, {"lctrl", 0}, {"lshift", 1}, {"lalt", 2},
        {"lwin", 3},   {"super", 3},  {"meta", 3},  {"altgr", 6},
    };
    return words;
}
constexpr int modifierCount = 8;

// Key names besides the window's own, each standing for one of them. The
// first alias of a key is the one describe() uses.
const std::vector<std::pair<const char *, const char *>> &keyAliases()
{
    static const std::vector<std::pair<const char *, const char *>> aliases = {
        {"backspace", "Back"}, {"minus", "-"}, {"equal", "="}, {"leftbracket", "["}, {"rightbracket", "]"},
        {"backslash", "\\"}, {"semicolon", ";"}, {"apostrophe", "'"}, {"grave", "`"}, {"comma", ","},
        {"period", "."}, {"slash", "/"}, {"capslock", "Caps"}, {"printscreen", "Prt"}, {"scrolllock", "Scr"},
        {"pause", "Pau"}, {"insert", "Ins"}, {"home", "Hom"}, {"pageup", "Pgu"}, {"delete", "Del"},
        {"pagedown", "PgD"}, {"right", "\u25BA"}, {"left", "\u25C4"}, {"down", "\u25BC"}, {"up", "\u25B2"},
        {"numlock", "Num"}, {"menu", "App"}, {"escape", "Esc"}, {"return", "Enter"}, {"pgup", "Pgu"},
        {"pgdn", "PgD"},
    };
    return aliases;
}

QString keyWord(int code, const SceneRules &rules)
{
    const QString name = rules.nameOf(code);
    for (const auto &[alias, aliased] : keyAliases())
        if (name == QString::fromUtf8(aliased))
            return QString::fromLatin1(alias);
    return name.toLower();
}

constexpr int maxByte = 255;

std::optional<int> byteValue(QString word, int lowest, const char *suffix = nullptr)
{
    if (suffix && word.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
        word.chop(int(qstrlen(suffix)));
    bool ok = false;
    const int value = word.toInt(&ok);
    if (!ok || value < lowest || value > maxByte)
        return std::nullopt;
    return value;
}

Parsed failed(const QString &why)
{
    return {std::nullopt, why};
}

Parsed parseFire(const QStringList &args, const SceneRules &rules)
{
    if (args.size() != 3)
        return failed(text("fire takes a key, the rate in ms and the times, for example: fire a 10 3"));
    const int key = keyCode(args.at(0), rules);
    if (!key)
        return failed(text("unknown key '%1'").arg(args.at(0)));
    const auto rate = byteValue(args.at(1), 1, "ms");
    if (!rate)
        return failed(text("the fire rate must be 1 to 255 ms, not '%1'").arg(args.at(1)));
    const auto times = byteValue(args.at(2), 0);
    if (!times)
        return failed(text("the fire times must be 0 to 255, not '%1'").arg(args.at(2)));
    return {Codes{rules.keyType("fire"), key, *rate, *times}, QString()};
}

Parsed parseKeys(const QStringList &args, const SceneRules &rules)
{
    if (args.size() != 1)
        return failed(text("keys takes one combination, for example: keys ctrl+c"));
    int modifiers = 0;
    std::vector<int> keys;
    for (const QString &part : args.at(0).split(QLatin1Char('+'))) {
        const QString word = part.toLower();
        bool isModifier = false;
        const int before = modifiers; // a modifier given twice changes nothing
        for (const auto &[name, bit] : modifierWords())
            if (word == QLatin1String(name)) {
                modifiers |= 1 << bit;
                isModifier = true;
            }
        if (isModifier && modifiers == before)
            return failed(text("'%1' appears twice in '%2'").arg(part, args.at(0)));
        if (isModifier)
            continue;
        const int code = keyCode(part, rules);
        const int bit = code - rules.firstModifier();
        if (code && bit >= 0 && bit < modifierCount) {
            if (modifiers & (1 << bit))
                return failed(text("'%1' appears twice in '%2'").arg(part, args.at(0)));
            modifiers |= 1 << bit;
            continue;
        }
        if (!code)
            return failed(text("unknown key '%1' in '%2'").arg(part, args.at(0)));
        if (std::find(keys.begin(), keys.end(), code) != keys.end())
            return failed(text("'%1' appears twice in '%2'").arg(part, args.at(0)));
        keys.push_back(code);
    }
    if (keys.size() > 2)
        return failed(text("a combination takes at most two keys besides the modifiers"));
    keys.resize(2, 0);
    return {Codes{rules.keyType("combination"), modifiers, keys[0], keys[1]}, QString()};
}

Parsed parseMacro(const QStringList &args, const SceneRules &rules)
{
    const QString usage = text("macro takes a macro name and optionally once, loop or hold, "
                               "for example: macro Burst loop");
    if (args.isEmpty() || args.size() > 2)
        return failed(usage);
    const QList<int> modes = rules.macroModes();
    int mode = modes.value(0);
    if (args.size() == 2) {
        const int found = int(rules.macroModeWords().indexOf(args.at(1).toLower()));
        if (found < 0)
            return failed(usage + text(", not '%1'").arg(args.at(1)));
        mode = modes.at(found);
    }
    return {Codes{rules.keyType("macro"), mode, 0, 0}, QString(), args.at(0)};
}

} // namespace

QString macroModeWord(int mode, const SceneRules &rules)
{
    return rules.macroModeWords().value(int(rules.macroModes().indexOf(mode)));
}

int keyCode(const QString &name, const SceneRules &rules)
{
    QString builtIn;
    const QString word = name.toLower();
    for (const auto &[alias, aliased] : keyAliases())
        if (word == QLatin1String(alias))
            builtIn = QString::fromUtf8(aliased);
    if (builtIn.isEmpty())
        for (const QString &known : rules.keyNames())
            if (known.compare(name, Qt::CaseInsensitive) == 0) {
                builtIn = known;
                break;
            }
    const int code = builtIn.isEmpty() ? 0 : rules.codeOf(builtIn);
    return code < rules.firstButtonCode() ? code : 0;
}

Parsed parse(const QStringList &words, const SceneRules &rules)
{
    if (words.isEmpty())
        return failed(text("no function given; see r770ctl key --help"));
    const QString head = words.at(0).toLower();
    const QStringList args = words.mid(1);
    if (head == QLatin1String("default") && args.isEmpty())
        return {std::nullopt, QString()};
    if (head == QLatin1String("double-fire") && args.isEmpty())
        return {rules.doubleFire(), QString()};
    if (head == QLatin1String("fire"))
        return parseFire(args, rules);
    if (head == QLatin1String("keys"))
        return parseKeys(args, rules);
    if (head == QLatin1String("macro"))
        return parseMacro(args, rules);
    for (const SceneRules::WordList &list : rules.functionWords()) {
        if (head != list.word)
            continue;
        const int at = args.size() == 1 ? int(list.words.indexOf(args.at(0).toLower())) : -1;
        if (at >= 0)
            return {list.functions.at(at), QString()};
        return failed(text("%1 takes one of: %2").arg(head, list.words.join(QStringLiteral(", "))));
    }
    return failed(text("unknown key function '%1'; see r770ctl key --help").arg(words.join(QLatin1Char(' '))));
}

QString describe(const Codes &codes, const SceneRules &rules)
{
    for (const SceneRules::WordList &list : rules.functionWords()) {
        const int at = int(list.functions.indexOf(codes));
        if (at >= 0)
            return QStringLiteral("%1 %2").arg(list.word, list.words.at(at));
    }
    if (codes == rules.doubleFire())
        return QStringLiteral("double-fire");
    if (codes[0] == rules.keyType("fire"))
        return QStringLiteral("fire %1 %2 %3").arg(keyWord(codes[1], rules)).arg(codes[2]).arg(codes[3]);
    if (codes[0] == rules.keyType("combination")) {
        QStringList parts;
        for (int bit = 0; bit < modifierCount; ++bit)
            if (codes[1] & (1 << bit))
                parts << QString::fromLatin1(modifierWords().at(size_t(bit)).first);
        for (int i : {2, 3})
            if (codes[size_t(i)])
                parts << keyWord(codes[size_t(i)], rules);
        return QStringLiteral("keys ") + parts.join(QLatin1Char('+'));
    }
    if (codes[0] == rules.keyType("macro"))
        return text("[macro slot %1]").arg(codes[2]);
    if (codes[0] == rules.keyType("fixed"))
        return text("[fixed function %1]").arg(codes[2]);
    return QStringLiteral("[%1 %2 %3 %4]").arg(codes[0]).arg(codes[1]).arg(codes[2]).arg(codes[3]);
}

QString reference()
{
    QString out;
    const SceneRules rules; // built once, for the command table
    for (const SceneRules::WordList &list : rules.functionWords())
        out += QStringLiteral("  %1 %2\n").arg(list.word, -9).arg(list.words.join(QLatin1Char('|')));
    out += text("  double-fire\n"
                "  fire KEY RATE TIMES   repeat KEY every RATE ms (1 to 255), TIMES times (0 to 255)\n"
                "  keys COMBO            a key combination: modifiers (ctrl shift alt win, rctrl\n"
                "                        rshift ralt rwin) and at most two keys joined by +\n"
                "  macro NAME [MODE]     run macro NAME, which is sent to the key's macro slot;\n"
                "                        MODE once (the default), loop (until any button is\n"
                "                        pressed) or hold (while the key is held)\n"
                "  default               the key's factory function\n");
    return out;
}

} // namespace keyfunctions
