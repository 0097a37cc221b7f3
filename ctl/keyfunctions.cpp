#include "keyfunctions.h"

#include "keycodes.h"

#include <QCoreApplication>
#include <vector>

namespace keyfunctions {

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("r770ctl", source);
}

struct Choice
{
    const char *word;
    Codes codes;
};

// The functions chosen by one word, per category, with the codes the key
// dialog stores for them.
struct Category
{
    const char *word;
    std::vector<Choice> choices;
};

const std::vector<Category> &categories()
{
    static const std::vector<Category> all = {
        {"button", {{"left", {0, 0, 0xF0, 0}}, {"right", {0, 0, 0xF1, 0}}, {"middle", {0, 0, 0xF2, 0}},
                    {"back", {0, 0, 0xF3, 0}}, {"forward", {0, 0, 0xF4, 0}}}},
        {"media", {{"player", {3, 0, 0x83, 0x01}}, {"next", {3, 0, 0xB5, 0}}, {"previous", {3, 0, 0xB6, 0}},
                   {"stop", {3, 0, 0xB7, 0}}, {"mute", {3, 0, 0xE2, 0}}, {"play-pause", {3, 0, 0xCD, 0}},
                   {"volume-up", {3, 0, 0xE9, 0}}, {"volume-down", {3, 0, 0xEA, 0}}}},
        {"dpi", {{"up", {5, 0, 1, 0}}, {"down", {5, 0, 2, 0}}, {"loop", {5, 0, 3, 0}}, {"sniper", {5, 0, 4, 0}}}},
        {"desktop", {{"my-computer", {6, 0, 0x94, 0x01}}, {"home", {6, 0, 0x23, 0x02}},
                     {"search", {6, 0, 0x21, 0x02}}, {"maximise", {6, 0x04, 0x2C, 0x1B}},
                     {"minimise", {6, 0x04, 0x2C, 0x11}}, {"show-desktop", {6, 0, 0xE3, 0x07}},
                     {"run", {6, 0, 0xE3, 0x15}}}},
        {"shortcut", {{"new", {7, 0, 0xE0, 0x11}}, {"cut", {7, 0, 0xE0, 0x1B}}, {"copy", {7, 0, 0xE0, 0x06}},
                      {"paste", {7, 0, 0xE0, 0x19}}, {"save", {7, 0, 0xE0, 0x16}}, {"print", {7, 0, 0xE0, 0x13}},
                      {"find", {7, 0, 0xE0, 0x09}}, {"redo", {7, 0, 0xE0, 0x1C}}, {"undo", {7, 0, 0xE0, 0x1D}},
                      {"select-all", {7, 0, 0xE0, 0x04}}}},
        {"recoil", {{"1", {8, 0, 1, 0}}, {"2", {8, 0, 2, 0}}, {"3", {8, 0, 3, 0}}}},
    };
    return all;
}

const Codes doubleFire = {0, 0xF0, 0x1E, 0x02};
constexpr int fireType = 1;
constexpr int groupType = 2;
constexpr int fixedType = 0xFF;
constexpr int maxByte = 255;

// Modifier words of a combination and their bits, in bit order.
const std::vector<std::pair<const char *, int>> &modifierWords()
{
    static const std::vector<std::pair<const char *, int>> words = {
        {"ctrl", 0x01},  {"shift", 0x02},  {"alt", 0x04},  {"win", 0x08},   {"rctrl", 0x10},
        {"rshift", 0x20}, {"ralt", 0x40},  {"rwin", 0x80}, {"control", 0x01}, {"lctrl", 0x01},
        {"lshift", 0x02}, {"lalt", 0x04},  {"lwin", 0x08}, {"super", 0x08}, {"meta", 0x08},
        {"altgr", 0x40},
    };
    return words;
}

// Key names besides the window's own. The first name of a code is the one
// describe() uses.
const std::vector<std::pair<const char *, int>> &keyAliases()
{
    static const std::vector<std::pair<const char *, int>> aliases = {
        {"backspace", 0x2A}, {"minus", 0x2D}, {"equal", 0x2E}, {"leftbracket", 0x2F},
        {"rightbracket", 0x30}, {"backslash", 0x31}, {"semicolon", 0x33}, {"apostrophe", 0x34},
        {"grave", 0x35}, {"comma", 0x36}, {"period", 0x37}, {"slash", 0x38}, {"capslock", 0x39},
        {"printscreen", 0x46}, {"scrolllock", 0x47}, {"pause", 0x48}, {"insert", 0x49},
        {"home", 0x4A}, {"pageup", 0x4B}, {"delete", 0x4C}, {"pagedown", 0x4E}, {"right", 0x4F},
        {"left", 0x50}, {"down", 0x51}, {"up", 0x52}, {"numlock", 0x53}, {"menu", 0x65},
        {"escape", 0x29}, {"return", 0x28}, {"pgup", 0x4B}, {"pgdn", 0x4E}, {"del", 0x4C},
        {"ins", 0x49},
    };
    return aliases;
}

QString keyWord(int code)
{
    for (const auto &[alias, aliasCode] : keyAliases())
        if (aliasCode == code)
            return QString::fromLatin1(alias);
    return keycodes::nameOf(std::uint8_t(code)).toLower();
}

// A keyboard key (no mouse button) for a combination or a fire key.
int keyboardKey(const QString &name)
{
    const int code = keyCode(name);
    return code > 0 && code < keycodes::firstMouseButton ? code : 0;
}

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

Parsed parseFire(const QStringList &args)
{
    if (args.size() != 3)
        return failed(text("fire takes a key, the rate in ms and the times, for example: fire a 10 3"));
    const int key = keyboardKey(args.at(0));
    if (!key)
        return failed(text("unknown key '%1'").arg(args.at(0)));
    const auto rate = byteValue(args.at(1), 1, "ms");
    if (!rate)
        return failed(text("the fire rate must be 1 to 255 ms, not '%1'").arg(args.at(1)));
    const auto times = byteValue(args.at(2), 0);
    if (!times)
        return failed(text("the fire times must be 0 to 255, not '%1'").arg(args.at(2)));
    return {Codes{fireType, key, *rate, *times}, QString()};
}

Parsed parseKeys(const QStringList &args)
{
    if (args.size() != 1)
        return failed(text("keys takes one combination, for example: keys ctrl+c"));
    int modifiers = 0;
    std::vector<int> keys;
    for (const QString &part : args.at(0).split(QLatin1Char('+'))) {
        const QString word = part.toLower();
        bool isModifier = false;
        for (const auto &[name, bit] : modifierWords())
            if (word == QLatin1String(name)) {
                modifiers |= bit;
                isModifier = true;
            }
        if (isModifier)
            continue;
        const int code = keyboardKey(part);
        if (code >= keycodes::firstModifier && code <= keycodes::lastModifier) {
            modifiers |= 1 << (code - keycodes::firstModifier);
            continue;
        }
        if (!code)
            return failed(text("unknown key '%1' in '%2'").arg(part, args.at(0)));
        keys.push_back(code);
    }
    if (keys.size() > 2)
        return failed(text("a combination takes at most two keys besides the modifiers"));
    keys.resize(2, 0);
    return {Codes{groupType, modifiers, keys[0], keys[1]}, QString()};
}

} // namespace

int keyCode(const QString &name)
{
    const QString word = name.toLower();
    for (const auto &[alias, code] : keyAliases())
        if (word == QLatin1String(alias))
            return code;
    for (const keycodes::Key &key : keycodes::table())
        if (key.name.compare(name, Qt::CaseInsensitive) == 0)
            return key.code;
    return 0;
}

Parsed parse(const QStringList &words)
{
    if (words.isEmpty())
        return failed(text("no function given; see r770ctl key --help"));
    const QString head = words.at(0).toLower();
    const QStringList args = words.mid(1);
    if (head == QLatin1String("default") && args.isEmpty())
        return {std::nullopt, QString()};
    if (head == QLatin1String("double-fire") && args.isEmpty())
        return {doubleFire, QString()};
    if (head == QLatin1String("fire"))
        return parseFire(args);
    if (head == QLatin1String("keys"))
        return parseKeys(args);
    if (head == QLatin1String("macro"))
        return failed(text("assigning a macro is not available in r770ctl yet: use the key dialog of r770"));
    for (const Category &category : categories()) {
        if (head != QLatin1String(category.word))
            continue;
        QStringList names;
        for (const Choice &choice : category.choices) {
            if (args.size() == 1 && args.at(0).toLower() == QLatin1String(choice.word))
                return {choice.codes, QString()};
            names << QString::fromLatin1(choice.word);
        }
        return failed(text("%1 takes one of: %2").arg(head, names.join(QStringLiteral(", "))));
    }
    return failed(text("unknown key function '%1'; see r770ctl key --help").arg(words.join(QLatin1Char(' '))));
}

QString describe(const Codes &codes)
{
    for (const Category &category : categories())
        for (const Choice &choice : category.choices)
            if (choice.codes == codes)
                return QStringLiteral("%1 %2").arg(QLatin1String(category.word), QLatin1String(choice.word));
    if (codes == doubleFire)
        return QStringLiteral("double-fire");
    if (codes[0] == fireType)
        return QStringLiteral("fire %1 %2 %3").arg(keyWord(codes[1])).arg(codes[2]).arg(codes[3]);
    if (codes[0] == groupType) {
        QStringList parts;
        for (int bit = 0; bit < 8; ++bit)
            if (codes[1] & (1 << bit))
                parts << QString::fromLatin1(modifierWords().at(size_t(bit)).first);
        for (int i : {2, 3})
            if (codes[i])
                parts << keyWord(codes[i]);
        return QStringLiteral("keys ") + parts.join(QLatin1Char('+'));
    }
    if (codes[0] == macroType)
        return text("[macro slot %1]").arg(codes[2]);
    if (codes[0] == fixedType)
        return text("[fixed function %1]").arg(codes[2]);
    return QStringLiteral("[%1 %2 %3 %4]").arg(codes[0]).arg(codes[1]).arg(codes[2]).arg(codes[3]);
}

QString reference()
{
    QString out;
    for (const Category &category : categories()) {
        QStringList names;
        for (const Choice &choice : category.choices)
            names << QString::fromLatin1(choice.word);
        out += QStringLiteral("  %1 %2\n").arg(QLatin1String(category.word), -9).arg(names.join(QLatin1Char('|')));
    }
    out += text("  double-fire\n"
                "  fire KEY RATE TIMES   repeat KEY every RATE ms (1 to 255), TIMES times (0 to 255)\n"
                "  keys COMBO            a key combination: modifiers (ctrl shift alt win, rctrl\n"
                "                        rshift ralt rwin) and at most two keys joined by +\n"
                "  default               the key's factory function\n");
    return out;
}

} // namespace keyfunctions
