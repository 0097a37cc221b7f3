#include "commands.h"

#include "commandsupport.h"
#include "controllercore.h"
#include "coreview.h"
#include "fileproblems.h"
#include "hid_thread.h"
#include "inivalue.h"
#include "profiles.h"
#include "scenerules.h"

#include <QCoreApplication>
#include <QSettings>

#include <algorithm>

namespace ctl {

QString Command::usage() const
{
    const QString name = words.join(QLatin1Char(' '));
    return arguments.isEmpty() ? name : name + QLatin1Char(' ') + arguments;
}

const std::vector<Command> &commands()
{
    static const std::vector<Command> table = [] {
        std::vector<Command> all;
        addMouseCommands(all);
        addFileCommands(all);
        addMacroCommands(all);
        addMacroLibraryCommands(all);
        addProfileShowCommand(all);
        addAutoCommands(all);
        addReportCommand(all);
        addKeyListCommand(all);
        // Listed by topic: the mouse, its profiles, its settings, macros.
        const QStringList order = {QStringLiteral("status"), QStringLiteral("profile"), QStringLiteral("dpi"),
                                   QStringLiteral("liftoff"), QStringLiteral("light"), QStringLiteral("key"),
                                   QStringLiteral("macro"), QStringLiteral("report")};
        std::stable_sort(all.begin(), all.end(), [&order](const Command &a, const Command &b) {
            return order.indexOf(a.words.first()) < order.indexOf(b.words.first());
        });
        return all;
    }();
    return table;
}

QString tr(const char *source)
{
    return QCoreApplication::translate("r770ctl", source);
}

std::optional<int> optionalProfile(const QString &command, const QStringList &args, const profiles::List &list,
                                   int active, Prepared &refusal)
{
    if (args.size() > 1) {
        refusal = usageError(tr("%1 takes at most a profile (its number or name)").arg(command));
        return std::nullopt;
    }
    if (args.isEmpty())
        return active;
    const std::optional<profiles::Entry> entry = profileArgument(args.first(), list, refusal);
    return entry ? std::optional<int>(entry->slot) : std::nullopt;
}

std::optional<profiles::Entry> profileArgument(const QString &word, const profiles::List &list, Prepared &refusal)
{
    QString why;
    if (const profiles::Entry *entry = list.find(word, &why))
        return *entry;
    refusal = usageError(why);
    return std::nullopt;
}

Prepared refuse(int code, const QString &message)
{
    return {Action(), Reply::failure(code, message)};
}

Prepared usageError(const QString &message)
{
    return refuse(UsageError, message);
}

std::optional<int> intIn(const QString &word, int lowest, int highest)
{
    bool ok = false;
    const int value = word.toInt(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

bool flushed(Context &ctx, QSettings &settings)
{
    QString written;
    if (ini::flush(settings, &written))
        return true;
    QString why = fileproblems::whyNotWritable(settings.fileName());
    if (why.isEmpty())
        why = written.isEmpty() ? tr("the file could not be written") : written;
    ctx.reply = Reply::failure(FileError, fileproblems::describe(settings.fileName(), why)
                                              + tr("; nothing was sent to the mouse"));
    return false;
}

QString activeProfileLabel(ControllerCore &core, const SceneRules &rules)
{
    return profiles::read(core, rules).label(core.currentProfile);
}

int shownKeys(ControllerCore &core, const SceneRules &rules)
{
    CoreView view(core);
    return rules.flow("readShownKeys", &view).toInt();
}

int offeredStages(ControllerCore &core, const SceneRules &rules)
{
    const int most = rules.maxDpiStages();
    return rules.boundedInt(core.getData(QStringLiteral("mouse/dpiCount"), false), 1, most, most);
}

int enabledStages(ControllerCore &core, const SceneRules &rules)
{
    const int offered = offeredStages(core, rules);
    return rules.boundedInt(core.getData(QStringLiteral("mouse/currentDpiCount"), false), 1, offered, offered);
}

namespace {

std::vector<SceneRules::KeyCodes> codesOf(const QJSValue &list)
{
    std::vector<SceneRules::KeyCodes> all;
    for (const QVariant &entry : list.toVariant().toList()) {
        const QVariantList codes = entry.toList();
        SceneRules::KeyCodes four{};
        for (size_t i = 0; i < four.size(); ++i)
            four[i] = codes.value(int(i)).toInt();
        all.push_back(four);
    }
    return all;
}

} // namespace

std::vector<SceneRules::KeyCodes> keyAssignment(ControllerCore &core, const SceneRules &rules,
                                                std::vector<SceneRules::KeyCodes> *factoryOut)
{
    CoreView view(core);
    const QJSValue keys = rules.flow("readKeys", &view);
    if (factoryOut)
        *factoryOut = codesOf(keys.property(QStringLiteral("factory")));
    return codesOf(keys.property(QStringLiteral("codes")));
}

bool storeProfile(Context &ctx)
{
    return flushed(ctx, *ctx.core.currentProfileSettings());
}

void succeeded(Context &ctx, const QString &what, const QString &profile)
{
    ctx.reply.out += tr("%1. Stored in %2 and sent to the mouse.\n").arg(what, profile);
}

void print(Context &ctx, const QJsonDocument &json, const QString &text)
{
    ctx.reply.out += ctx.json ? QString::fromUtf8(json.toJson(QJsonDocument::Indented)) : text;
}

bool Delivery::step(const QString &what, const std::function<bool()> &operation)
{
    if (!failed.isEmpty()) {
        skipped << what;
        return false;
    }
    if (operation()) {
        done << what;
        return true;
    }
    failed = what;
    return false;
}

void Delivery::fail(Context &ctx, const QString &stored) const
{
    QString message = tr("the mouse did not take the %1").arg(failed);
    if (!skipped.isEmpty())
        message += tr(", so the %1 %2 not sent").arg(skipped.join(tr(" and ")),
                                                     skipped.size() == 1 ? tr("was") : tr("were"));
    if (!done.isEmpty())
        message += tr("; the %1 reached it").arg(done.join(tr(" and ")));
    if (!stored.isEmpty())
        message += tr(". %1; run the command again to send it").arg(stored);
    ctx.reply = Reply::failure(DeviceError, message);
}

} // namespace ctl
