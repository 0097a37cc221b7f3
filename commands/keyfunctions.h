#pragma once

#include "scenerules.h"

#include <QString>
#include <QStringList>
#include <optional>

// Key functions in words, as r770ctl takes and shows them ("button back",
// "keys ctrl+c"). The words are r770ctl's; the codes behind them, and the
// key names, come from the scene's rules.
namespace keyfunctions {

using Codes = SceneRules::KeyCodes;

struct Parsed
{
    std::optional<Codes> codes; // empty for "default": the factory assignment
    QString error;              // set when the words name no function
    // A macro assignment: the macro's name. The codes leave the macro slot
    // 0; it is the key's own index, which the caller knows.
    QString macro = {};
};

// The words after "key K", for example {"keys", "ctrl+c"}.
Parsed parse(const QStringList &words, const SceneRules &rules);

// The words that parse() takes for these codes ("button back", "fire a 10 3");
// for codes it has no words for, a description in brackets.
QString describe(const Codes &codes, const SceneRules &rules);

// A keyboard key's code from its name in the forms r770ctl takes: the
// window's names, ignoring case, and common aliases such as "escape" or
// "pageup"; 0 when unknown or not a keyboard key.
int keyCode(const QString &name, const SceneRules &rules);

// The word of a macro key's play mode ("once", "loop", "hold"); empty for
// a mode the scene does not offer.
QString macroModeWord(int mode, const SceneRules &rules);

// The reference of the FUNCTION words, for --help.
QString reference();

} // namespace keyfunctions
