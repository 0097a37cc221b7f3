#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Key functions in words, as r770ctl takes and shows them, and the four
// codes the key assignment dialog stores for each ("button back" is
// 0, 0, F3, 0; "keys ctrl+c" is 2, 1, 6, 0).
namespace keyfunctions {

using Codes = std::array<int, 4>;

// The first code of a key that runs a macro.
constexpr int macroType = 4;

struct Parsed
{
    std::optional<Codes> codes; // empty for "default": the factory assignment
    QString error;              // set when the words name no function
};

// The words after "key K", for example {"keys", "ctrl+c"}.
Parsed parse(const QStringList &words);

// The words that parse() takes for these codes ("button back", "fire a 10 3");
// for codes it has no words for, a description in brackets.
QString describe(const Codes &codes);

// A key name in the forms r770ctl takes (the window's names, ignoring case,
// and common aliases such as "escape" or "pageup"); 0 when unknown.
int keyCode(const QString &name);

// The reference of the FUNCTION words, for --help.
QString reference();

} // namespace keyfunctions
