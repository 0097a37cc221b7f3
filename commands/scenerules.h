#pragma once

#include <QJSEngine>
#include <QJSValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <vector>

// The scene's own rules, taken from the very modules the window runs
// (modules/qml/basic/*.mjs, compiled in): what its controls show, the
// ranges it brings values into, what it sends, the key-code table and the
// codes of each key function, and the pages' own reading, storing and
// sending (flows.mjs). r770ctl converts nothing by a rule of its own.
class SceneRules
{
public:
    using KeyCodes = std::array<int, 4>;
    struct Range
    {
        int min = 0;
        int max = 0;
    };
    struct DpiBounds
    {
        int min = 0;
        int max = 0;
        int base = 1;
    };
    struct Effect
    {
        int effect = 0;    // the index the mouse's lighting table knows
        int text = 0;      // the position of its name in the "lightControl" texts
        bool speed = false; // whether it uses the speed level
        bool brightness = false;
    };

    // A macro as the mouse receives it: the bytes, or why it has none
    // ("step", "delay", "length", "repeat", "key" for a key no name list
    // knows; `step` is the step concerned).
    struct MacroEncoding
    {
        QVariantList bytes;
        QString problem;
        int step = -1;
    };

    struct ProfileEntry
    {
        QString name;
        int number = 0; // the profile file: p1.bin for 0, ...
    };

    SceneRules();

    // Empty when every module loaded; otherwise which one failed and why.
    QString error() const { return failure; }

    // --- values read from files ---
    bool toBool(const QVariant &value) const;
    int boundedInt(const QVariant &value, int low, int high, int fallback) const;
    QVariantList boundedInts(const QVariant &list, int count, int low, int high,
                             const QVariant &fallbacks = QVariant()) const;

    // The language the window shows its texts in, from "common/language".
    QString language(const QVariant &stored) const;

    // --- lift-off ---
    Range liftOff() const;
    QString liftOffMillimetres(int position) const; // as the window shows it, one decimal

    // --- DPI ---
    int maxDpiStages() const;

    // --- lighting ---
    QList<Effect> lightEffects(bool colourful) const; // in the window's list order
    Range lightSpeed() const;
    Range lightBrightness(bool colourful) const;

    // --- keys ---
    int keyAssignmentCount() const;
    KeyCodes keyCodes(const QVariant &stored, const KeyCodes &fallback) const;
    Range gunPeriod() const;
    QList<int> keyTable() const;      // every code, in table order
    QStringList keyNames() const;     // their built-in names
    int codeOf(const QString &name) const;
    QString nameOf(int code) const;
    int firstButtonCode() const;
    int firstModifier() const;
    // A list of fixed key functions of keyfunctions.mjs ("buttons", "media",
    // "dpi", "windows", "shortcuts", "guns"), in its order.
    QList<KeyCodes> keyFunctions(const char *list) const;
    KeyCodes doubleFire() const;
    // r770ctl's words for the lists of fixed functions ("button" and
    // "left", "middle", ...), from keyfunctions.mjs.
    struct WordList
    {
        QString word;
        QStringList words;        // one for each function, in list order
        QList<KeyCodes> functions;
    };
    QList<WordList> functionWords() const;
    QStringList macroModeWords() const; // in the order of macroModes()
    int keyType(const char *name) const; // "fire", "combination", "macro", ...
    bool isLeftButton(const KeyCodes &codes) const;
    QList<int> macroModes() const; // the play modes of a macro key, in the dialog's order
    // Whether key `index` (from 0) keeps the mouse's own function, and the
    // function it has there, from its factory codes.
    bool keptByFirmware(int index) const;
    KeyCodes firmwareCodes(const KeyCodes &factory) const;
    // Whether key `index` (from 0) has a macro slot; the number of slots.
    bool hasMacroSlot(int index) const;
    int macroSlotCount() const;
    // The macro slots an assignment of every key runs, each once, in key order.
    QList<int> macroSlotsRun(const std::vector<KeyCodes> &assignment) const;

    // --- macros ---
    // The key names of the table with a language's "keyCode" texts in place.
    QStringList keyNamesWith(const QStringList &languageNames) const;
    // A stored macro (the texts loadMacroIni gives: the steps, then the
    // repeat count) encoded as the macro store does, finding key names in
    // `nameLists` in turn.
    MacroEncoding encodeMacro(const QStringList &stored, const QList<QStringList> &nameLists) const;

    // --- pointer options ---
    int pointerStep(int position) const; // the step (0 to 10) a slider position gives

    // --- the macro library: the macro store's and the editor's rules ---
    struct TypedStep
    {
        QString text;    // the step to store
        QString problem; // or why not: "format", "delay", "key"
    };
    int maxMacros() const;
    QString newMacroName(const QStringList &names) const; // empty when the list is full
    bool isMacroName(const QString &name) const;
    // A step typed as the editor takes it; the first name list is the
    // language in use, the others are looked in too.
    TypedStep readTypedStep(const QString &typed, const QList<QStringList> &nameLists) const;
    // "" when the steps may change from `before` to `after`, else why not
    // ("full", "length", "delay", "steps").
    QString checkMacroEdit(const QStringList &before, const QStringList &after, bool adding) const;
    int macroLength(const QStringList &steps) const; // encoded bytes, as the editor counts them
    int macroBlockSize() const;
    Range macroTimes() const; // the repeat counts the "Times" field takes
    // The keys (indexes) of `assignment` that run macro `name`; `slotNames`
    // holds the name of each macro slot.
    QList<int> keysRunningMacro(const std::vector<KeyCodes> &assignment, const QString &name,
                                const QStringList &slotNames) const;

    // --- name lists ---
    QStringList withoutPadding(const QVariant &list) const;
    // The profile selector's entries, entry 0 named `standardName`.
    QList<ProfileEntry> selectorEntries(const QVariant &stored, const QString &standardName) const;
    int activeProfile(const QList<ProfileEntry> &entries, const QVariant &stored) const;

    // --- page flows ---
    // Runs `function` of flows.mjs with `view` (the controller's operations
    // under the names the scene calls) first and `args` after.
    QJSValue flow(const char *function, QObject *view, const QJSValueList &args = {}) const;
    // Runs `function` of flows.mjs that takes no controller: a rule of the pages.
    QJSValue flowRule(const char *function, const QJSValueList &args) const { return call(flows, function, args); }
    // A value for a flow's record, as the scene would hold it.
    QJSValue scriptValue(const QVariant &value) const { return toScript(value); }

private:
    QJSValue load(const char *file);
    QJSValue call(const QJSValue &module, const char *function, const QJSValueList &args) const;
    QJSValue toScript(const QVariant &value) const;
    static Range range(const QJSValue &value);
    static KeyCodes codesOf(const QJSValue &value);

    mutable QJSEngine engine;
    QJSValue formulas, keycodes, keyfunctions, namelists, macrocodec, macroedit, flows;
    QJSValue lookupIn(const QList<QStringList> &nameLists) const;
    mutable QString failure;
};
