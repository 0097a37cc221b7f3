#pragma once

// Helpers shared by the command implementations.

#include "commands.h"
#include "profiles.h"
#include "reply.h"
#include "scenerules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>
#include <vector>

class ControllerCore;
class Hid_Thread;
class QJsonObject;
class QSettings;

namespace ctl {

QString tr(const char *source);

Prepared refuse(int code, const QString &message);
Prepared usageError(const QString &message);

// The profile named by `word` (its number or name), or a usage error.
std::optional<profiles::Entry> profileArgument(const QString &word, const profiles::List &list, Prepared &refusal);
// The slot of the profile named by a command's one optional argument (its
// number or name; the active profile when there is none), or the refusal.
std::optional<int> optionalProfile(const QString &command, const QStringList &args, const profiles::List &list,
                                   int active, Prepared &refusal);

// A whole number within [lowest, highest], or none.
std::optional<int> intIn(const QString &word, int lowest, int highest);

// Writes pending changes of a settings file; false, with the reply set to
// a file error naming the file, when they did not reach it.
bool flushed(Context &ctx, QSettings &settings);

// The active profile in messages: "profile 1 (Standard)".
QString activeProfileLabel(ControllerCore &core, const SceneRules &rules);

// How many keys the window's key panel shows: keys 1 to that.
int shownKeys(ControllerCore &core, const SceneRules &rules);

// How the DPI page reads the stages: "mouse/dpiCount" offered (1 to 8),
// "mouse/currentDpiCount" of them enabled.
int offeredStages(ControllerCore &core, const SceneRules &rules);
int enabledStages(ControllerCore &core, const SceneRules &rules);

// The assignment of every key as the key page reads it (flows.mjs), and
// the factory assignment.
std::vector<SceneRules::KeyCodes> keyAssignment(ControllerCore &core, const SceneRules &rules,
                                                std::vector<SceneRules::KeyCodes> *factory = nullptr);

// A key's function in the words `key K` takes; a macro key by the name of
// its macro ("macro Burst loop").
QString describeKey(ControllerCore &core, const SceneRules &rules, const SceneRules::KeyCodes &codes);

// What each key of profile slot `slot` does, as key list shows it: one
// object a key (key, function, keptByMouse) and a line a key.
struct KeyListing
{
    QJsonArray keys;
    QString text;
};
KeyListing listKeys(ControllerCore &core, const SceneRules &rules, int slot);

// The names of the window's lighting effects, in the language it shows and
// in English.
QList<QStringList> effectNames(ControllerCore &core, const SceneRules &rules, const QList<SceneRules::Effect> &effects);

// Stores the active profile's pending changes; false, with a file error in
// the reply, when they did not reach the file.
bool storeProfile(Context &ctx);

// "WHAT. Stored in PROFILE and sent to the mouse."
void succeeded(Context &ctx, const QString &what, const QString &profile);

// The stored macro `name` as the mouse receives it in the macro slot of the
// key with index `keyIndex`; none, with the refusal, when the macro is
// missing, has no device form or the key has no macro slot.
std::optional<QVariantList> macroToSend(const QString &name, int keyIndex, ControllerCore &core,
                                        const SceneRules &rules, Prepared &refusal);

// The key-name lists the macro store finds a step's key in, in its order:
// the language in use, the built-in names, then every language's.
QList<QStringList> keyNameLists(ControllerCore &core, const SceneRules &rules);
// Why a stored macro (steps, then the repeat count) has no device form.
QString whyNoDeviceForm(const SceneRules::MacroEncoding &encoding, const QStringList &stored);

// Prints `json` when the request asked for JSON, `text` otherwise.
void print(Context &ctx, const QJsonDocument &json, const QString &text);

// The device steps of one command: each runs unless an earlier one failed,
// and the report says which reached the mouse.
class Delivery
{
public:
    // Runs `operation` unless an earlier step failed; it returns whether
    // all of it reached the mouse. False when it did not (or an earlier
    // step did not).
    bool step(const QString &what, const std::function<bool()> &operation);
    bool complete() const { return failed.isEmpty(); }
    // Sets a device error on the reply, saying what was stored and which
    // steps reached the mouse; `stored` is what the files already hold.
    void fail(Context &ctx, const QString &stored) const;

private:
    QStringList done;
    QString failed;
    QStringList skipped;
};

} // namespace ctl
