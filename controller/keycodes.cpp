#include "keycodes.h"

namespace keycodes {

namespace {

std::vector<Key> build()
{
    std::vector<Key> keys;
    const auto add = [&keys](int code, const QString &name) { keys.push_back({std::uint8_t(code), name}); };
    const auto addRun = [&add](int first, std::initializer_list<const char *> names) {
        for (const char *name : names)
            add(first++, QString::fromUtf8(name));
    };
    for (int i = 0; i < 26; ++i)
        add(0x04 + i, QString(QChar('A' + i)));
    for (int i = 1; i <= 9; ++i)
        add(0x1D + i, QString::number(i));
    addRun(0x27, {"0", "Enter", "Esc", "Back", "Tab", "Space", "-", "=", "[", "]", "\\", "\\", ";",
                  "'", "`", ",", ".", "/", "Caps"});
    for (int i = 1; i <= 12; ++i)
        add(0x39 + i, QStringLiteral("F%1").arg(i));
    addRun(0x46, {"Prt", "Scr", "Pau", "Ins", "Hom", "Pgu", "Del", "End", "PgD", "►", "◄", "▼", "▲",
                  "Num", "KP/", "KP*", "KP-", "KP+", "KPEnter"});
    for (int i = 1; i <= 9; ++i)
        add(0x58 + i, QStringLiteral("KP%1").arg(i));
    addRun(0x62, {"KP0", "KP.", "Eur2", "App", "Power", "KP="});
    for (int i = 13; i <= 24; ++i)
        add(0x68 + i - 13, QStringLiteral("F%1").arg(i));
    add(0x85, QStringLiteral("Keypad"));
    addRun(0x87, {"Intl1", "Intl2", "Intl3", "Intl4", "Intl5"});
    addRun(0x90, {"Lang1", "Lang2"});
    addRun(firstModifier, {"LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin"});
    addRun(firstMouseButton, {"MS-L", "MS-R", "MS-M", "MS-B4", "MS-B5"});
    return keys;
}

} // namespace

const std::vector<Key> &table()
{
    static const std::vector<Key> keys = build();
    return keys;
}

std::uint8_t codeOf(QStringView name)
{
    for (const Key &key : table())
        if (key.name == name)
            return key.code;
    return 0;
}

QString nameOf(std::uint8_t code)
{
    for (const Key &key : table())
        if (key.code == code)
            return key.name;
    return QString();
}

} // namespace keycodes
