// `report`: one text file with what a bug report about finding or talking
// to the mouse needs. It only reads: the files, the system, and the
// mouse's queries.
#include "commands.h"

#include "commandsupport.h"
#include "configfile.h"
#include "controllercore.h"
#include "devicetable.h"
#include "diaglog.h"
#include "discovery.h"
#include "fileops.h"
#include "fileproblems.h"
#include "hid_thread.h"
#include "inivalue.h"
#include "profileimage.h"
#include "systemsurvey.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonObject>
#include <QSettings>
#include <QSysInfo>
#include <cstring>
#include <hidapi.h>
#include <memory>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#ifndef R770_VERSION
#define R770_VERSION "unknown"
#endif

namespace ctl {

namespace {

constexpr int logLines = 200;
constexpr char masked[] = "******";

QString id4(int value)
{
    return value < 0 ? QStringLiteral("?") : QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

QString hexBytes(const uchar *bytes, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0'));
    return parts.join(QLatin1Char(' '));
}

QString environment(const char *name)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QStringLiteral("(not set)") : value;
}

QString programSection()
{
    QString text = QStringLiteral("== Program\n");
    text += QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QLatin1String(R770_VERSION));
    text += QStringLiteral("Qt %1 (built with %2)\n").arg(QLatin1String(qVersion()), QLatin1String(QT_VERSION_STR));
    text += QStringLiteral("hidapi %1 (built with %2)\n").arg(QLatin1String(hid_version_str()),
                                                                QLatin1String(HID_API_VERSION_STR));
    text += QStringLiteral("System: %1, kernel %2 %3\n")
                .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion());
    text += QStringLiteral("Files: %1\n").arg(QDir::currentPath());
    return text;
}

QString sessionSection()
{
    QString text = QStringLiteral("\n== Desktop session\n");
    for (const char *name : {"XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "WAYLAND_DISPLAY", "DISPLAY"})
        text += QStringLiteral("%1: %2\n").arg(QLatin1String(name), environment(name));
    return text;
}

QString tableSection(const QList<DeviceEntry> &table)
{
    QString text = QStringLiteral("\n== Device table (%1)\n").arg(fileproblems::shown(configfile::path()));
    if (table.isEmpty())
        text += QStringLiteral("no device (common/deviceCount)\n");
    for (int i = 0; i < table.size(); ++i) {
        const DeviceEntry &e = table.at(i);
        text += QStringLiteral("[%1] type %2, %3:%4, command usage %5/%6, notification usage %7/%8, report length %9, ")
                    .arg(i).arg(e.type).arg(id4(e.vid), id4(e.pid), id4(e.usagePage), id4(e.usage),
                                            id4(e.usagePage2), id4(e.usage2))
                    .arg(e.reportLength);
        // The code itself stays out of the report: only whether it is usable.
        text += QStringLiteral("%1 frames, secrecy code %2 (%3 characters)\n")
                    .arg(e.isEncode ? QStringLiteral("scrambled") : QStringLiteral("plain"), QLatin1String(masked))
                    .arg(e.sCode.size());
        text += QStringLiteral("    present: command interface %1, notification interface %2\n")
                    .arg(e.commandPath.isEmpty() ? QStringLiteral("none") : e.commandPath,
                         e.notifyPath.isEmpty() ? QStringLiteral("none") : e.notifyPath);
    }
    return text;
}

QString hidapiSection()
{
    QString text = QStringLiteral("\n== HID interfaces (hidapi)\n");
    hid_device_info *chain = hid_enumerate(0, 0);
    if (!chain)
        text += QStringLiteral("none\n");
    for (hid_device_info *info = chain; info; info = info->next)
        text += QStringLiteral("%1:%2 interface %3 usage %4/%5 %6 \"%7\"\n")
                    .arg(id4(info->vendor_id), id4(info->product_id))
                    .arg(info->interface_number)
                    .arg(id4(info->usage_page), id4(info->usage), QString::fromLocal8Bit(info->path),
                         info->product_string ? QString::fromWCharArray(info->product_string) : QString());
    hid_free_enumeration(chain);
    return text;
}

QString systemSection()
{
    QString text = QStringLiteral("\n== hidraw devices (%1/class/hidraw)\n").arg(survey::sysfsRoot());
    const QList<survey::Hidraw> devices = survey::hidrawDevices();
    if (devices.isEmpty())
        text += QStringLiteral("none\n");
    for (const survey::Hidraw &d : devices) {
        text += QStringLiteral("%1: %2:%3 interface %4, usage page %5 usage %6, report descriptor %7 bytes, \"%8\"\n")
                    .arg(d.name, id4(d.vid), id4(d.pid),
                         d.interfaceNumber < 0 ? QStringLiteral("?") : QString::number(d.interfaceNumber),
                         id4(d.usagePage), id4(d.usage),
                         d.descriptorLength < 0 ? QStringLiteral("?") : QString::number(d.descriptorLength), d.hidName);
        text += QStringLiteral("    %1: %2; udev rules that may grant access: %3\n")
                    .arg(d.node,
                         !d.nodeExists ? QStringLiteral("missing")
                         : d.openable  ? QStringLiteral("this user can open it")
                                       : QStringLiteral("this user cannot open it"),
                         d.grantedBy.isEmpty() ? QStringLiteral("none") : d.grantedBy.join(QStringLiteral(", ")));
    }
#ifdef Q_OS_UNIX
    if (::geteuid() == 0)
        text += QStringLiteral("(run as root: every node opens)\n");
#endif
    const QString rule = survey::installedRule();
    text += QStringLiteral("\n== udev rule %1\n").arg(QLatin1String(survey::ourRuleFile));
    text += rule.isEmpty() ? QStringLiteral("not installed (looked in %1)\n")
                                 .arg(survey::udevRuleFolders().join(QStringLiteral(", ")))
                           : QStringLiteral("installed: %1\n").arg(rule);
    return text;
}

// Whether the handshake's exchange completed (a wrong answer completes it).
bool exchanged(Handshake result)
{
    return result == Handshake::Accepted || result == Handshake::Rejected;
}

// One exchange as the report shows it: the plain frame sent, the reply as
// the link keeps it, the block read, and how long it took.
class Tracer
{
public:
    Tracer(Hid_Thread &link, bool scrambled) : link(link), scrambled(scrambled) { clock.start(); }

    QString text;

    // `call` makes one exchange and says whether it completed.
    bool run(const QString &what, int blockLength, const std::function<bool()> &call)
    {
        const qint64 start = clock.elapsed();
        const bool ok = call();
        const qint64 took = clock.elapsed() - start;
        text += QStringLiteral("+%1 ms  %2 (%3 ms)").arg(start, 5).arg(what).arg(took);
        if (!ok) {
            text += QStringLiteral(": failed: %1\n").arg(link.lastFailure().isEmpty() ? QStringLiteral("the link was busy")
                                                                                    : link.lastFailure());
            return false;
        }
        // The link scrambles the frame in place: show what was meant.
        uchar sent[frame::Size];
        std::memcpy(sent, link.sendBuffer, sizeof sent);
        if (scrambled)
            link.USBDataDecipher(&sent[frame::ScrambledPos], secrecyKey);
        text += QStringLiteral("\n    sent  %1\n    reply %2%3\n")
                    .arg(hexBytes(sent, frame::Size), hexBytes(link.replyBuffer, frame::Size),
                         scrambled && blockLength ? QStringLiteral(" (as read)") : QString());
        for (int offset = 0; offset < blockLength; offset += 32)
            text += QStringLiteral("    block %1  %2\n").arg(offset, 3).arg(hexBytes(link.bulkBuffer + offset, 32));
        return true;
    }

private:
    Hid_Thread &link;
    bool scrambled;
    QElapsedTimer clock;
};

// The handshake and every query of the command set: nothing that changes the mouse.
QString mouseSection(Context &ctx)
{
    QString text = QStringLiteral("\n== Mouse\n");
    Hid_Thread *link = ctx.link;
    std::unique_ptr<Hid_Thread> own;
    if (!link) {
        text += QStringLiteral("not in use: %1\n").arg(ctx.unavailable.err);
        // r770ctl found a mouse that did not pass: try the handshake again
        // on a link of its own, to show its frames.
        if (!ctx.found.value_or(false))
            return text;
        own = std::make_unique<Hid_Thread>();
        link = own.get();
        const QList<DeviceEntry> table = discovery::findDevices();
        link->replaceDeviceList(table);
        for (int i = 0; i < table.size(); ++i) {
            if (table.at(i).commandPath.isEmpty())
                continue;
            Tracer trace(*link, table.at(i).isEncode);
            Handshake result = Handshake::Failed;
            trace.run(QStringLiteral("handshake with entry %1 at %2").arg(i).arg(table.at(i).commandPath), 0,
                      [&] { return exchanged(result = link->handshake(i)); });
            text += trace.text + QStringLiteral("    outcome: %1\n")
                                     .arg(result == Handshake::Accepted   ? QStringLiteral("accepted")
                                          : result == Handshake::Rejected ? QStringLiteral("answer differs from the challenge")
                                                                          : QStringLiteral("no answer"));
        }
        return text;
    }
    const int index = link->currentIndex;
    const DeviceEntry entry = link->deviceEntry(index);
    const bool hid560 = ctx.core.commandSet() == CommandSet::hid560;
    text += QStringLiteral("entry %1, %2:%3 at %4, %5 commands, %6 frames\n")
                .arg(index).arg(id4(entry.vid), id4(entry.pid), entry.commandPath,
                                hid560 ? QStringLiteral("hid560") : QStringLiteral("hid553"),
                                entry.isEncode ? QStringLiteral("scrambled") : QStringLiteral("plain"));
    Tracer trace(*link, entry.isEncode);
    Handshake result = Handshake::Failed;
    trace.run(QStringLiteral("00H handshake"), 0, [&] { return exchanged(result = link->handshake(index)); });
    trace.text += QStringLiteral("    outcome: %1\n").arg(result == Handshake::Accepted ? QStringLiteral("accepted")
                                                                                       : QStringLiteral("not accepted"));
    uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    if (hid560) {
        trace.run(QStringLiteral("81H keyboard options"), 0, [&] { return link->reporting().hid560_81H_GetKeyboardoption(b1, b2) == Exchange::Completed; });
        trace.run(QStringLiteral("82H current profile"), 0, [&] { return link->reporting().hid560_82H_GetCurrentProfile(b1) == Exchange::Completed; });
        trace.run(QStringLiteral("84H current DPI"), 0, [&] { return link->reporting().hid560_84H_GetCurrentDPI(b1, b2) == Exchange::Completed; });
        uchar block[Hid_Thread::MaxBlockLength];
        for (int n = 0; n <= profileimage::lastRecoilBlock; ++n)
            trace.run(QStringLiteral("8CH profile block %1").arg(n), Hid_Thread::MaxBlockLength,
                      [&] { return link->reporting().hid560_8CH_readProfile(block, uchar(n)) == Exchange::Completed; });
    } else {
        trace.run(QStringLiteral("83H keyboard options"), 0,
                  [&] { return link->reporting().hid553_83H_GetKeyboardoption(b1, b2, b3, b4) == Exchange::Completed; });
        trace.run(QStringLiteral("8BH current DPI"), 0, [&] { return link->reporting().hid553_8BH_GetCurrentDPI(b1) == Exchange::Completed; });
    }
    return text + trace.text;
}

QString logSection()
{
    const QString file = diaglog::path();
    QString text = QStringLiteral("\n== Diagnostic log (the last %1 lines of %2)\n").arg(logLines).arg(file);
    const QStringList lines = diaglog::tail(file, logLines);
    if (lines.isEmpty())
        text += QFileInfo(file).absoluteDir().exists() ? QStringLiteral("empty\n")
                                                       : QStringLiteral("none kept: the folder does not exist\n");
    else
        text += lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return text;
}

QString defaultFile()
{
    return QDir::homePath() + QStringLiteral("/r770-report-%1.txt")
                                  .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

Prepared prepareReport(const QStringList &args, ControllerCore &, const SceneRules &)
{
    if (args.size() > 1)
        return usageError(tr("report takes at most a file name"));
    const QString file = args.isEmpty() || args.first().isEmpty() ? defaultFile() : args.first();
    return {[file](Context &ctx) {
                // The table as apConfig.bin holds it, with the interfaces present now.
                const QList<DeviceEntry> table = discovery::findDevices();
                QString text = QStringLiteral("R770 diagnostic report, %1\n\n")
                                   .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
                text += programSection() + sessionSection() + tableSection(table) + hidapiSection()
                        + systemSection() + mouseSection(ctx) + logSection();
                // No secret leaves with the report, wherever a line took it from.
                for (const DeviceEntry &entry : table)
                    if (entry.sCode.size() >= 4)
                        text.replace(entry.sCode, QLatin1String(masked));
                QString why;
                if (!fileops::writeChecked(file, text.toUtf8(), false, &why)) {
                    ctx.reply = Reply::failure(FileError, fileproblems::describe(file, why));
                    return;
                }
                ctx.reply = Reply{};
                print(ctx, QJsonDocument(QJsonObject{{QStringLiteral("file"), file}}),
                      tr("The report is in %1\n").arg(file));
            },
            {}};
}

} // namespace

void addReportCommand(std::vector<Command> &table)
{
    table.push_back({{QStringLiteral("report")}, QStringLiteral("[FILE]"),
                     tr("write a diagnostic report to attach to a bug report"),
                     tr("Writes one text file for a bug report about finding or talking to the mouse,\n"
                        "and prints its path (without FILE: r770-report-DATE-TIME.txt in the home\n"
                        "folder): the program, Qt and hidapi versions, the desktop session, the device\n"
                        "table (secrecy codes masked), every HID interface and hidraw node with its\n"
                        "ids, interface, usage page, report descriptor length, whether this user can\n"
                        "open it and which udev rules may grant that, whether 70-r770.rules is\n"
                        "installed, then the handshake and every query the mouse answers with each\n"
                        "frame's bytes and timing, and the last 200 lines of the diagnostic log.\n"
                        "Nothing that changes the mouse is sent. The exit status is 0 when the file\n"
                        "was written, whatever it says about the mouse.\n"),
                     Access::Status, true, prepareReport, 0});
}

} // namespace ctl
