#include "scenerules.h"

#include <QJSValueIterator>

namespace {

const char *const modulePath = ":/modules/qml/basic/";

} // namespace

SceneRules::SceneRules()
{
    formulas = load("formulas.mjs");
    keycodes = load("keycodes.mjs");
    keyfunctions = load("keyfunctions.mjs");
    namelists = load("namelists.mjs");
    macrocodec = load("macrocodec.mjs");
    macroedit = load("macroedit.mjs");
    flows = load("flows.mjs");
}

QJSValue SceneRules::flow(const char *function, QObject *view, const QJSValueList &args) const
{
    QJSEngine::setObjectOwnership(view, QJSEngine::CppOwnership);
    return call(flows, function, QJSValueList{engine.newQObject(view)} + args);
}

QJSValue SceneRules::load(const char *file)
{
    const QJSValue module = engine.importModule(QLatin1String(modulePath) + QLatin1String(file));
    if (module.isError() && failure.isEmpty())
        failure = QStringLiteral("%1%2: %3").arg(QLatin1String(modulePath), QLatin1String(file), module.toString());
    return module;
}

QJSValue SceneRules::call(const QJSValue &module, const char *function, const QJSValueList &args) const
{
    const QJSValue result = module.property(QLatin1String(function)).call(args);
    if (result.isError() && failure.isEmpty())
        failure = QStringLiteral("%1: %2").arg(QLatin1String(function), result.toString());
    return result;
}

// Settings values as the scene gets them: a missing key is undefined, lists
// are arrays.
QJSValue SceneRules::toScript(const QVariant &value) const
{
    if (!value.isValid())
        return QJSValue(QJSValue::UndefinedValue);
    if (value.typeId() == QMetaType::QStringList)
        return engine.toScriptValue(QVariant(value.toStringList()).toList());
    return engine.toScriptValue(value);
}

SceneRules::Range SceneRules::range(const QJSValue &value)
{
    return {value.property(QStringLiteral("min")).toInt(), value.property(QStringLiteral("max")).toInt()};
}

SceneRules::KeyCodes SceneRules::codesOf(const QJSValue &value)
{
    KeyCodes codes{};
    for (quint32 i = 0; i < codes.size(); ++i)
        codes[i] = value.property(i).toInt();
    return codes;
}

QString SceneRules::language(const QVariant &stored) const
{
    return call(formulas, "languageOf", {toScript(stored)}).toString();
}

bool SceneRules::toBool(const QVariant &value) const
{
    return call(formulas, "toBool", {toScript(value)}).toBool();
}

int SceneRules::boundedInt(const QVariant &value, int low, int high, int fallback) const
{
    return call(formulas, "boundedInt", {toScript(value), low, high, fallback}).toInt();
}

QVariantList SceneRules::boundedInts(const QVariant &list, int count, int low, int high,
                                     const QVariant &fallbacks) const
{
    return call(formulas, "boundedInts", {toScript(list), count, low, high, toScript(fallbacks)}).toVariant().toList();
}

SceneRules::Range SceneRules::liftOff() const
{
    return range(formulas.property(QStringLiteral("liftOff")));
}

QString SceneRules::liftOffMillimetres(int position) const
{
    return call(formulas, "liftOffMillimetres", {position}).toString();
}


int SceneRules::maxDpiStages() const
{
    return formulas.property(QStringLiteral("maxDpiStages")).toInt();
}


QList<SceneRules::Effect> SceneRules::lightEffects(bool colourful) const
{
    const QJSValue list = call(formulas, "lightEffects", {colourful});
    QList<Effect> effects;
    const int count = list.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < count; ++i) {
        const QJSValue e = list.property(quint32(i));
        effects.append({e.property(QStringLiteral("effect")).toInt(), e.property(QStringLiteral("text")).toInt(),
                        e.property(QStringLiteral("speed")).toBool(),
                        e.property(QStringLiteral("brightness")).toBool()});
    }
    return effects;
}

SceneRules::Range SceneRules::lightSpeed() const
{
    return range(formulas.property(QStringLiteral("lightSpeed")));
}

SceneRules::Range SceneRules::lightBrightness(bool colourful) const
{
    return range(call(formulas, "lightBrightness", {colourful}));
}



int SceneRules::keyAssignmentCount() const
{
    return formulas.property(QStringLiteral("keyAssignmentCount")).toInt();
}

SceneRules::KeyCodes SceneRules::keyCodes(const QVariant &stored, const KeyCodes &fallback) const
{
    const QVariantList fallbackList{fallback[0], fallback[1], fallback[2], fallback[3]};
    return codesOf(call(formulas, "keyCodes", {toScript(stored), toScript(fallbackList)}));
}

SceneRules::Range SceneRules::gunPeriod() const
{
    return range(formulas.property(QStringLiteral("gunRanges")).property(QStringLiteral("period")));
}

QList<int> SceneRules::keyTable() const
{
    QList<int> codes;
    for (const QVariant &code : keycodes.property(QStringLiteral("codes")).toVariant().toList())
        codes << code.toInt();
    return codes;
}

QStringList SceneRules::keyNames() const
{
    return keycodes.property(QStringLiteral("builtInNames")).toVariant().toStringList();
}

int SceneRules::codeOf(const QString &name) const
{
    return call(keycodes, "codeOf", {name}).toInt();
}

QString SceneRules::nameOf(int code) const
{
    return call(keycodes, "nameOf", {code}).toString();
}

int SceneRules::firstButtonCode() const
{
    return keycodes.property(QStringLiteral("firstButtonCode")).toInt();
}

int SceneRules::firstModifier() const
{
    return keyfunctions.property(QStringLiteral("firstModifier")).toInt();
}

QList<SceneRules::KeyCodes> SceneRules::keyFunctions(const char *list) const
{
    const QJSValue functions = keyfunctions.property(QLatin1String(list));
    QList<KeyCodes> out;
    const int count = functions.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < count; ++i)
        out << codesOf(functions.property(quint32(i)).property(QStringLiteral("codes")));
    return out;
}

QList<SceneRules::WordList> SceneRules::functionWords() const
{
    const QJSValue lists = keyfunctions.property(QStringLiteral("commandWords"));
    QList<WordList> out;
    for (quint32 i = 0, n = lists.property(QStringLiteral("length")).toUInt(); i < n; ++i) {
        const QJSValue entry = lists.property(i);
        WordList list{entry.property(QStringLiteral("word")).toString(), {}, {}};
        const QJSValue functions = keyfunctions.property(entry.property(QStringLiteral("list")).toString());
        for (quint32 f = 0, count = functions.property(QStringLiteral("length")).toUInt(); f < count; ++f) {
            list.words << functions.property(f).property(QStringLiteral("word")).toString();
            list.functions << codesOf(functions.property(f).property(QStringLiteral("codes")));
        }
        out << list;
    }
    return out;
}

QStringList SceneRules::macroModeWords() const
{
    const QJSValue modes = keyfunctions.property(QStringLiteral("macroModes"));
    QStringList out;
    for (quint32 i = 0, n = modes.property(QStringLiteral("length")).toUInt(); i < n; ++i)
        out << modes.property(i).property(QStringLiteral("word")).toString();
    return out;
}

SceneRules::KeyCodes SceneRules::doubleFire() const
{
    return codesOf(keyfunctions.property(QStringLiteral("doubleFire")).property(QStringLiteral("codes")));
}

int SceneRules::keyType(const char *name) const
{
    return keyfunctions.property(QStringLiteral("type")).property(QLatin1String(name)).toInt();
}

bool SceneRules::isLeftButton(const KeyCodes &codes) const
{
    const QVariantList list{codes[0], codes[1], codes[2], codes[3]};
    return call(keyfunctions, "isLeftButton", {toScript(list)}).toBool();
}

QStringList SceneRules::withoutPadding(const QVariant &list) const
{
    return call(namelists, "withoutPadding", {toScript(list)}).toVariant().toStringList();
}

QList<SceneRules::ProfileEntry> SceneRules::selectorEntries(const QVariant &stored,
                                                            const QString &standardName) const
{
    const QJSValue list = call(namelists, "selectorEntries", {toScript(stored), standardName});
    QList<ProfileEntry> entries;
    const int count = list.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < count; ++i) {
        const QJSValue e = list.property(quint32(i));
        entries.append({e.property(QStringLiteral("name")).toString(), e.property(QStringLiteral("number")).toInt()});
    }
    return entries;
}

int SceneRules::activeProfile(const QList<ProfileEntry> &entries, const QVariant &stored) const
{
    QVariantList list;
    for (const ProfileEntry &e : entries)
        list << QVariantMap{{QStringLiteral("name"), e.name}, {QStringLiteral("number"), e.number}};
    return call(namelists, "activeProfile", {toScript(list), toScript(stored)}).toInt();
}

bool SceneRules::keptByFirmware(int index) const
{
    return call(keyfunctions, "keptByFirmware", {index}).toBool();
}

SceneRules::KeyCodes SceneRules::firmwareCodes(const KeyCodes &factory) const
{
    const QVariantList list{factory[0], factory[1], factory[2], factory[3]};
    return codesOf(call(keyfunctions, "firmwareCodes", {toScript(list)}));
}

bool SceneRules::hasMacroSlot(int index) const
{
    return call(keyfunctions, "hasMacroSlot", {index}).toBool();
}

int SceneRules::macroSlotCount() const
{
    return keyfunctions.property(QStringLiteral("macroSlotCount")).toInt();
}

QList<int> SceneRules::macroSlotsRun(const std::vector<KeyCodes> &assignment) const
{
    QVariantList entries;
    for (const KeyCodes &codes : assignment)
        entries << QVariant(QVariantList{codes[0], codes[1], codes[2], codes[3]});
    QList<int> run;
    for (const QVariant &slot : call(keyfunctions, "macroSlotsRun", {toScript(entries)}).toVariant().toList())
        run << slot.toInt();
    return run;
}

QList<int> SceneRules::macroModes() const
{
    const QJSValue modes = keyfunctions.property(QStringLiteral("macroModes"));
    QList<int> out;
    const int count = modes.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < count; ++i)
        out << modes.property(quint32(i)).property(QStringLiteral("mode")).toInt();
    return out;
}

QStringList SceneRules::keyNamesWith(const QStringList &languageNames) const
{
    return call(keycodes, "namesWith", {toScript(languageNames)}).toVariant().toStringList();
}

SceneRules::MacroEncoding SceneRules::encodeMacro(const QStringList &stored,
                                                  const QList<QStringList> &nameLists) const
{
    const QJSValue codeOf = lookupIn(nameLists);
    // As the macro store: the last text is the repeat count.
    const QJSValue repeat = call(macrocodec, "repeatOf", {toScript(stored.value(stored.size() - 1))});
    const QJSValue result = call(macrocodec, "encode", {toScript(stored.mid(0, stored.size() - 1)), repeat, codeOf});
    MacroEncoding encoding;
    encoding.problem = result.property(QStringLiteral("problem")).toString();
    encoding.step = result.property(QStringLiteral("step")).toInt();
    // A key no name list knows would be sent as code 0.
    const int unknown = call(macrocodec, "unknownKey", {toScript(stored.mid(0, stored.size() - 1)), codeOf}).toInt();
    if (encoding.problem.isEmpty() && unknown >= 0) {
        encoding.problem = QStringLiteral("key");
        encoding.step = unknown;
    }
    if (encoding.problem.isEmpty())
        encoding.bytes = result.property(QStringLiteral("bytes")).toVariant().toList();
    return encoding;
}






QJSValue SceneRules::lookupIn(const QList<QStringList> &nameLists) const
{
    QVariantList lists;
    for (const QStringList &names : nameLists)
        lists.append(QVariant(QVariant(names).toList())); // one element per list
    return call(macrocodec, "lookupIn", {toScript(lists)});
}

int SceneRules::maxMacros() const
{
    return namelists.property(QStringLiteral("maxMacros")).toInt();
}

QString SceneRules::newMacroName(const QStringList &names) const
{
    const QJSValue name = call(namelists, "newMacroName", {toScript(names)});
    return name.isString() ? name.toString() : QString();
}

bool SceneRules::isMacroName(const QString &name) const
{
    return call(namelists, "isMacroName", {QJSValue(name)}).toBool();
}

SceneRules::TypedStep SceneRules::readTypedStep(const QString &typed, const QList<QStringList> &nameLists) const
{
    QVariantList codes;
    for (int code : keyTable())
        codes << code;
    const QJSValue read = call(macroedit, "readTyped",
                               {QJSValue(typed), toScript(nameLists.value(0)), toScript(codes), lookupIn(nameLists)});
    TypedStep step;
    if (read.property(QStringLiteral("problem")).isString())
        step.problem = read.property(QStringLiteral("problem")).toString();
    else
        step.text = read.property(QStringLiteral("text")).toString();
    return step;
}

QString SceneRules::checkMacroEdit(const QStringList &before, const QStringList &after, bool adding) const
{
    return call(macroedit, "checkEdit", {toScript(before), toScript(after), QJSValue(adding)}).toString();
}

int SceneRules::macroLength(const QStringList &steps) const
{
    return call(macrocodec, "encodedLength", {toScript(steps)}).toInt();
}

int SceneRules::macroBlockSize() const
{
    return macrocodec.property(QStringLiteral("blockSize")).toInt();
}

SceneRules::Range SceneRules::macroTimes() const
{
    return range(macrocodec.property(QStringLiteral("timesRange")));
}

QList<int> SceneRules::keysRunningMacro(const std::vector<KeyCodes> &assignment, const QString &name,
                                        const QStringList &slotNames) const
{
    QVariantList entries;
    for (const KeyCodes &codes : assignment)
        entries << QVariant(QVariantList{codes[0], codes[1], codes[2], codes[3]});
    QList<int> keys;
    for (const QVariant &key :
         call(namelists, "keysRunning", {toScript(entries), QJSValue(name), toScript(slotNames)}).toVariant().toList())
        keys << key.toInt();
    return keys;
}

int SceneRules::pointerStep(int position) const
{
    return call(formulas, "pointerIndex", {position}).toInt();
}
