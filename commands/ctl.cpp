#include "ctl.h"

#include "commands.h"
#include "commandsupport.h"
#include "completion.h"
#include "controllercore.h"
#include "host.h"
#include "profiles.h"
#include "runtimefolder.h"
#include "scenerules.h"
#include "session.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#ifndef R770_VERSION
#define R770_VERSION "unknown"
#endif

namespace ctl {

namespace {

struct Invocation
{
    const Command *command = nullptr;
    QStringList group; // "profile" alone: the help of its commands
    QStringList args;
    bool json = false;
    bool help = false;
    bool version = false;
    bool verbose = false;
    QString repeat; // --repeat N of macro set
};

// The option only macro set takes, handed to it after its arguments.
const QString repeatOption = QStringLiteral("--repeat");

QStringList preparedArguments(const Invocation &invocation)
{
    return invocation.repeat.isNull() ? invocation.args : invocation.args + QStringList{repeatOption, invocation.repeat};
}


QString exitStatusText()
{
    return tr("Exit status:\n"
              "  0  done\n"
              "  2  bad usage or value, an unknown profile or macro included; nothing was\n"
              "     changed or sent\n"
              "  3  no mouse found, or the mouse cannot be opened (install the udev rule)\n"
              "  4  the mouse answered the handshake wrongly (check sCode in apConfig.bin)\n"
              "  5  the mouse failed during the command or its handshake; the message says\n"
              "     what failed and what reached the mouse\n"
              "  6  a file could not be read or written; the message names it and says why\n"
              "  7  the r770 window holds unsaved changes (save them first) or a dialog with a\n"
              "     choice open, or the mouse was kept busy for a minute by the r770 program or\n"
              "     another r770ctl\n");
}

QString overallHelp()
{
    QString text = tr("Usage: r770ctl [--json] [--] COMMAND [ARGUMENT...]\n"
                      "       r770ctl COMMAND --help\n\n"
                      "Sets up the BRAXTEL SOLVAR MOUSE R770 from the command line, with the same files,\n"
                      "profiles and device table as the r770 program. Values are given in the units\n"
                      "the window shows: profiles as \"profile list\" numbers them (or by name), DPI\n"
                      "stages and keys numbered from 1, lift-off in millimetres. Commands that set\n"
                      "something store it in the active profile and send it to the mouse, as the\n"
                      "window's Save does. While r770 runs, r770ctl hands each command to it, and\n"
                      "the window shows the change.\n\n"
                      "Commands:\n");
    constexpr int column = 26;
    for (const Command &command : commands()) {
        const QString usage = command.usage();
        text += usage.size() < column ? QStringLiteral("  %1 %2\n").arg(usage, -column).arg(command.summary)
                                      : QStringLiteral("  %1\n  %2 %3\n").arg(usage, QString(column, QLatin1Char(' ')),
                                                                                command.summary);
    }
    text += tr("\nOptions:\n"
               "  --json        machine-readable output; a command that sets something prints\n"
               "                what it changed\n"
               "  --repeat N    macro set: the macro's repeat count (1 to 65535)\n"
               "  -v, --verbose also print the device link's diagnostic lines; status names\n"
               "                the keys too\n"
               "  -h, --help    this text; with a command, that command's\n"
               "  --version     the version\n"
               "  --            ends the options: later words are arguments (a macro named -x)\n\n");
    return text + exitStatusText();
}

QString commandHelp(const Command &command)
{
    QString text = tr("Usage: r770ctl [--json] %1\n\n").arg(command.usage());
    text += command.summary.left(1).toUpper() + command.summary.mid(1) + QStringLiteral(".\n\n") + command.details;
    return text;
}

QString groupHelp(const QStringList &group)
{
    QString text;
    for (const Command &command : commands())
        if (command.words.first() == group.first())
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + commandHelp(command);
    return text;
}

// The words after the program's name: options anywhere, then the command
// words and their arguments. A lone "-" and negative numbers are arguments,
// and so is every word after "--".
Reply parse(const QStringList &arguments, Invocation &out)
{
    QStringList words;
    bool optionsEnded = false; // after "--" every word is an argument
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (optionsEnded)
            words << word;
        else if (word == repeatOption) {
            if (i + 1 >= arguments.size())
                return Reply::failure(UsageError, tr("--repeat takes a count"));
            out.repeat = arguments.at(++i);
        } else if (word.startsWith(repeatOption + QLatin1Char('=')))
            out.repeat = word.mid(repeatOption.size() + 1);
        else if (word == QLatin1String("--"))
            optionsEnded = true;
        else if (word == QLatin1String("--json"))
            out.json = true;
        else if (word == QLatin1String("--help") || word == QLatin1String("-h"))
            out.help = true;
        else if (word == QLatin1String("--version"))
            out.version = true;
        else if (word == QLatin1String("--verbose") || word == QLatin1String("-v"))
            out.verbose = true;
        else if (word.startsWith(QLatin1Char('-')) && word.size() > 1 && !word.at(1).isDigit())
            return Reply::failure(UsageError, tr("unknown option %1; see r770ctl --help").arg(word));
        else
            words << word;
    }
    if (words.value(0) == QLatin1String("help")) {
        words.removeFirst();
        out.help = true;
    }
    if (words.isEmpty()) {
        if (out.help || out.version)
            return {};
        return Reply::failure(UsageError, tr("no command given; see r770ctl --help"));
    }
    bool knownGroup = false;
    for (const Command &command : commands()) {
        if (command.words.first() != words.first())
            continue;
        knownGroup = true;
        const int length = int(command.words.size());
        // The longest match: "key list" before "key K".
        if (words.mid(0, length) == command.words && (!out.command || length > out.command->words.size())) {
            out.command = &command;
            out.args = words.mid(length);
        }
    }
    if (!out.command) {
        if (!knownGroup)
            return Reply::failure(UsageError, tr("unknown command '%1'; see r770ctl --help").arg(words.first()));
        if (out.help && words.size() == 1) {
            out.group = words;
            return {};
        }
        QStringList choices;
        for (const Command &command : commands())
            if (command.words.first() == words.first())
                choices << command.words.value(1);
        return Reply::failure(UsageError, tr("%1 takes one of: %2").arg(words.first(), choices.join(QStringLiteral(", "))));
    }
    if (!out.repeat.isNull() && out.command->words != QStringList{QStringLiteral("macro"), QStringLiteral("set")})
        return Reply::failure(UsageError, tr("--repeat applies to macro set only"));
    return {};
}

bool verboseOutput = false;

// With --json, a command that prints no JSON of its own says in JSON what
// it did: the command, its message lines, and what it changed (the pages of
// the window to read again, the DPI stage made active).
Reply jsonReply(const Command &command, const Context &ctx)
{
    if (!ctx.json || command.takesJson || !ctx.reply.ok())
        return ctx.reply;
    QJsonObject result{{QStringLiteral("command"), command.words.join(QLatin1Char(' '))}};
    QJsonArray lines;
    for (const QString &line : ctx.reply.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines << line;
    result.insert(QStringLiteral("message"), lines);
    result.insert(QStringLiteral("changed"), QJsonArray::fromStringList(ctx.changedPages));
    if (ctx.activeStage > 0)
        result.insert(QStringLiteral("activeStage"), ctx.activeStage);
    Reply reply = ctx.reply;
    reply.out = QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented));
    return reply;
}

} // namespace

Reply handle(const QStringList &arguments, bool enterRuntimeFolder)
{
    // The shell completion scripts ask what may follow the words typed.
    if (arguments.value(0) == QLatin1String("__complete")) {
        QStringList typed;
        bool optionsEnded = false;
        for (const QString &word : arguments.mid(1)) {
            if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word.size() == 1)
                typed << word;
            optionsEnded = optionsEnded || word == QLatin1String("--");
        }
        if (enterRuntimeFolder && !runtimefolder::enter().ok)
            return {};
        const SceneRules rules;
        ControllerCore core;
        const QStringList words = completions(typed, core, rules);
        return {Success, words.isEmpty() ? QString() : words.join(QLatin1Char('\n')) + QLatin1Char('\n'), QString()};
    }
    Invocation invocation;
    Reply refused = parse(arguments, invocation);
    if (!refused.ok())
        return refused;
    verboseOutput = invocation.verbose;
    if (invocation.version)
        return {Success, QStringLiteral("r770ctl %1\n").arg(QLatin1String(R770_VERSION)), QString()};
    if (invocation.help)
        return {Success,
                invocation.command ? commandHelp(*invocation.command)
                : invocation.group.isEmpty() ? overallHelp()
                                             : groupHelp(invocation.group),
                QString()};

    const Command &command = *invocation.command;
    // A file is the caller's: named from the folder r770ctl was started in.
    const int file = command.fileArgument;
    if (file >= 0 && file < invocation.args.size() && !invocation.args.at(file).isEmpty())
        invocation.args[file] = QFileInfo(invocation.args.at(file)).absoluteFilePath();

    if (enterRuntimeFolder) {
        const runtimefolder::Outcome folder = runtimefolder::enter();
        if (!folder.ok)
            return Reply::failure(FileError, folder.error);
        if (!folder.notes.isEmpty())
            std::fprintf(stderr, "r770ctl: %s\n", qPrintable(folder.notes));
    }
    const SceneRules rules;
    if (!rules.error().isEmpty())
        return Reply::failure(FileError, tr("the scene's rules could not be loaded: %1").arg(rules.error()));
    ControllerCore core;
    // The profile the window shows, which the mouse holds.
    core.setCurrentProfile(profiles::read(core, rules).activeSlot);
    Prepared prepared = command.prepare(preparedArguments(invocation), core, rules);
    if (!prepared.action)
        return prepared.refusal;

    Context ctx(core);
    ctx.json = invocation.json;
    ctx.verbose = invocation.verbose;
    Session session(core);
    if (command.access != Access::ReadFiles) {
        // A running tray program performs the request itself; its words
        // follow "--", so that an argument like a macro named -x stays one.
        QStringList request;
        if (invocation.json)
            request << QStringLiteral("--json");
        if (invocation.verbose)
            request << QStringLiteral("--verbose");
        if (!invocation.repeat.isNull())
            request << repeatOption << invocation.repeat;
        request << QStringLiteral("--") << command.words << invocation.args;
        const Session::Claim claim = session.claim(request);
        if (claim.kind == Session::Claim::Answered)
            return claim.reply;
        if (claim.kind == Session::Claim::Refused) {
            if (command.access != Access::Status)
                return claim.reply;
            ctx.unavailable = claim.reply; // status reports what it can
        }
    }
    if (command.access == Access::Library) {
        // The files change whether or not a mouse is there; it is sent to
        // when it can be used.
        if (session.connect() == Session::State::Connected) {
            ctx.link = &session.link();
            ctx.entry = session.entry();
        } else {
            ctx.unavailable = session.failure();
        }
    }
    if ((command.access == Access::Mouse || command.access == Access::Status) && ctx.unavailable.ok()) {
        Reply problem = session.connect() == Session::State::Connected ? Reply() : session.failure();
        ctx.found = session.found();
        if (session.found())
            ctx.openable = session.openable();
        if (problem.ok()) {
            ctx.link = &session.link();
            ctx.entry = session.entry();
        } else if (command.access == Access::Mouse) {
            return problem;
        } else {
            ctx.unavailable = problem; // status reports what it can
        }
    }
    prepared.action(ctx);
    return jsonReply(command, ctx);
}

Reply perform(const QStringList &arguments, Host &host)
{
    Invocation invocation;
    Reply refused = parse(arguments, invocation);
    if (!refused.ok())
        return refused;
    if (invocation.help || invocation.version || !invocation.command)
        return Reply::failure(UsageError, tr("the r770 program performs commands only"));
    const Command &command = *invocation.command;
    const SceneRules rules;
    if (!rules.error().isEmpty())
        return Reply::failure(FileError, tr("the scene's rules could not be loaded: %1").arg(rules.error()));
    ControllerCore &core = host.controller();
    Prepared prepared = command.prepare(preparedArguments(invocation), core, rules);
    if (!prepared.action)
        return prepared.refusal;
    if (command.access == Access::Mouse || command.access == Access::WriteFiles || command.access == Access::Library) {
        const QString refusal = host.refusal();
        if (!refusal.isEmpty())
            return Reply::failure(MouseInUse, refusal);
    }

    Context ctx(core);
    ctx.json = invocation.json;
    ctx.verbose = invocation.verbose;
    if (command.access == Access::Library) {
        ctx.link = host.link();
        ctx.entry = host.entry();
        if (!ctx.link)
            ctx.unavailable = Reply::failure(NoMouse, tr("the r770 program is running and has found no mouse"));
    }
    if (command.access == Access::Mouse || command.access == Access::Status) {
        ctx.link = host.link();
        ctx.entry = host.entry();
        ctx.found = ctx.link != nullptr;
        if (ctx.link)
            ctx.openable = true;
        if (!ctx.link) {
            const Reply absent = Reply::failure(NoMouse, tr("the r770 program is running and has found no mouse; "
                                                            "is it plugged in?"));
            if (command.access == Access::Mouse)
                return absent;
            ctx.unavailable = absent;
        }
    }
    prepared.action(ctx);
    host.show(ctx.changedPages, ctx.activeStage);
    return jsonReply(command, ctx);
}

bool verbose()
{
    return verboseOutput;
}

} // namespace ctl
