#include "driver.h"

#include "procfs.h"
#include "xwatch.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int startTimeoutMs = 20000;
constexpr int commandTimeoutMs = 120000;
// After the first initUI: the scene's start-up lock (1 s) and its fade.
constexpr int sceneSettleMs = 2500;
// After start or hiding: let allocations and caches settle.
constexpr int settleMs = 3000;
constexpr int keyGapMs = 20;
// The key typed: harmless anywhere in the scene.
const char *const typedKey = "shift";

constexpr double nsPerMs = 1e6;
constexpr double kiBPerMiB = 1024.0;

// --- numbers -------------------------------------------------------------------

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Nearest-rank percentile.
double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::max(1.0, std::ceil(p / 100.0 * double(values.size()))));
    return values[std::min(rank, values.size()) - 1];
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

void print(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void fail(const QString &what)
{
    std::fprintf(stderr, "r770-bench: %s\n", qPrintable(what));
}

// --- the program's runtime folder ----------------------------------------------

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + file.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

// A portable copy of the program: this executable and the shipped runtime
// folder, set up for one command set, with two profiles to switch between.
struct ProgramFolder
{
    QTemporaryDir dir;
    QString executable;

    bool prepare(const QString &commandSet)
    {
        const QString own = QCoreApplication::applicationFilePath();
        executable = dir.filePath(QFileInfo(own).fileName());
        if (!dir.isValid() || !QFile::copy(own, executable)
            || !copyTree(QCoreApplication::applicationDirPath() + "/modules", dir.filePath("modules")))
            return false;
        {
            QSettings config(dir.filePath("modules/setting/apConfig.bin"), QSettings::IniFormat);
            config.setValue("mouse/icType", commandSet);
            config.setValue("mouse/profileNo", 0);
        }
        QSettings names(dir.filePath("modules/setting/name.bin"), QSettings::IniFormat);
        names.setValue("profile/profileName", QStringList{"Standard0", "Far2"});
        return true;
    }
};

// --- one run of the program ----------------------------------------------------

class Program
{
public:
    // Starts the program; startNs is taken just before the process is made.
    bool start(const ProgramFolder &folder, const QString &mouse)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // The profile switch applies pointer settings: keep the desktop's own.
        env.insert("GSETTINGS_BACKEND", "memory");
        process.setProcessEnvironment(env);
        process.setStandardErrorFile(folder.dir.filePath("program.log"), QIODevice::Append);
        process.setProgram(folder.executable);
        process.setArguments({"--program", mouse});
        startNs = procfs::nowNs();
        process.start();
        if (!process.waitForStarted(startTimeoutMs)) {
            fail("the program did not start: " + process.errorString());
            return false;
        }
        return true;
    }

    std::int64_t pid() const { return process.processId(); }

    // The next report line starting with prefix; lines before it are kept.
    std::optional<QByteArray> line(const QByteArray &prefix, int timeoutMs)
    {
        const std::int64_t deadline = procfs::nowNs() + std::int64_t(timeoutMs) * 1000000;
        for (;;) {
            while (process.canReadLine())
                lines.push_back(process.readLine().trimmed());
            for (auto it = lines.begin(); it != lines.end(); ++it) {
                if (it->startsWith(prefix)) {
                    const QByteArray found = *it;
                    lines.erase(it);
                    return found;
                }
            }
            const std::int64_t left = (deadline - procfs::nowNs()) / 1000000;
            if (left <= 0 || process.state() != QProcess::Running)
                return std::nullopt;
            process.waitForReadyRead(int(std::min<std::int64_t>(left, 1000)));
        }
    }

    // The mark's time after start, in ms; -1 on time-out.
    double markMs(const QByteArray &name, int timeoutMs)
    {
        const auto found = line("mark " + name + ' ', timeoutMs);
        return found ? double(found->split(' ').value(2).toLongLong() - startNs) / nsPerMs : -1;
    }

    // Sends a command and returns the report lines it made.
    QList<QByteArray> command(const QByteArray &name)
    {
        process.write(name + '\n');
        process.waitForBytesWritten();
        QList<QByteArray> made;
        const auto done = line("done " + name, commandTimeoutMs);
        if (!done)
            fail("no answer to " + QString::fromLatin1(name));
        made.swap(lines);
        return made;
    }

    bool quit()
    {
        process.write("quit\n");
        process.waitForBytesWritten();
        if (!process.waitForFinished(startTimeoutMs)) {
            process.kill();
            process.waitForFinished();
            return false;
        }
        return true;
    }

    std::int64_t startNs = 0;

private:
    QProcess process;
    QList<QByteArray> lines;
};

// CPU use of a process over a period of doing nothing, in % of one core.
double idleCpu(std::int64_t pid, int seconds)
{
    const std::int64_t cpu0 = procfs::cpuTimeNs(pid), wall0 = procfs::nowNs();
    QThread::sleep(unsigned(seconds));
    const std::int64_t cpu1 = procfs::cpuTimeNs(pid), wall1 = procfs::nowNs();
    return cpu0 < 0 || cpu1 < 0 ? -1 : 100.0 * double(cpu1 - cpu0) / double(wall1 - wall0);
}

double mib(std::int64_t kib)
{
    return double(kib) / kiBPerMiB;
}

// --- what is measured ----------------------------------------------------------

struct Timing
{
    double wallMs = 0;
    unsigned pauses = 0;
    double pauseMs = 0;
    double ratio() const { return pauseMs > 0 ? wallMs / pauseMs : 0; }
};

struct SetResults
{
    std::vector<double> mappedMs, initUiMs;
    double shownRssMiB = 0, hiddenRssMiB = 0, peakMiB = 0;
    double shownCpu = 0, hiddenCpu = 0;
    std::vector<double> keyMs;
    std::vector<std::pair<QString, Timing>> operations;
    std::map<QString, std::vector<Timing>> flows;
};

// "op|flow <name> <wall ns> <pauses> <pause ms>"
std::pair<QString, Timing> parseTiming(const QByteArray &line)
{
    const QList<QByteArray> f = line.split(' ');
    Timing t;
    t.wallMs = double(f.value(2).toLongLong()) / nsPerMs;
    t.pauses = f.value(3).toUInt();
    t.pauseMs = f.value(4).toDouble();
    return {QString::fromLatin1(f.value(1)), t};
}

Timing medianTiming(const std::vector<Timing> &runs)
{
    std::vector<double> walls;
    for (const Timing &t : runs)
        walls.push_back(t.wallMs);
    Timing t = runs.empty() ? Timing() : runs.back();
    t.wallMs = median(walls);
    return t;
}

bool measureStartUps(const BenchOptions &o, XWatch &x, const ProgramFolder &folder, const QString &set,
                     SetResults &r)
{
    for (int i = 0; i < o.startRuns; ++i) {
        x.clear();
        Program p;
        if (!p.start(folder, set))
            return false;
        const std::int64_t mapped = x.waitForMap(p.pid(), startTimeoutMs);
        const double init = p.markMs("initUI", startTimeoutMs);
        p.quit();
        if (mapped < 0 || init < 0) {
            fail("start-up " + set + ": no window or no initUI");
            return false;
        }
        r.mappedMs.push_back(double(mapped - p.startNs) / nsPerMs);
        r.initUiMs.push_back(init);
    }
    return true;
}

// Key presses typed with xdotool; each delay is from the moment the X server
// delivered the press (seen by an idle observer) to the scene's
// detectKeyboard.
bool measureKeys(const BenchOptions &o, XWatch &x, Program &p, SetResults &r)
{
    x.clear();
    QStringList args{"key", "--delay", QString::number(keyGapMs)};
    for (int i = 0; i < o.keyPresses; ++i)
        args << typedKey;
    QProcess typist;
    typist.start("xdotool", args);
    const std::vector<std::int64_t> pressed = x.rawKeyPresses(o.keyPresses, commandTimeoutMs);
    typist.waitForFinished(commandTimeoutMs);
    for (std::int64_t at : pressed) {
        const auto seen = p.line("key ", 5000);
        if (!seen) {
            fail("a key press did not reach the scene");
            return false;
        }
        r.keyMs.push_back(double(seen->split(' ').value(2).toLongLong() - at) / nsPerMs);
    }
    return int(pressed.size()) == o.keyPresses;
}

bool measureConnected(const BenchOptions &o, XWatch &x, const ProgramFolder &folder, const QString &set,
                      SetResults &r)
{
    Program p;
    if (!p.start(folder, set) || p.markMs("initUI", startTimeoutMs) < 0) {
        fail("the scene did not start (" + set + ")");
        return false;
    }
    QThread::msleep(sceneSettleMs);
    r.shownCpu = idleCpu(p.pid(), o.idleSeconds);
    r.shownRssMiB = mib(procfs::memory(p.pid()).residentKiB);

    if (!measureKeys(o, x, p, r))
        return false;

    std::map<QString, std::vector<Timing>> runs;
    for (const QByteArray &line : p.command("ops " + QByteArray::number(o.operationRuns))) {
        if (!line.startsWith("op "))
            continue;
        const auto [name, timing] = parseTiming(line);
        if (runs.find(name) == runs.end())
            r.operations.push_back({name, {}});
        runs[name].push_back(timing);
    }
    for (auto &op : r.operations)
        op.second = medianTiming(runs[op.first]);
    for (const char *flow : {"save", "switch"}) {
        for (int i = 0; i < o.flowRuns; ++i)
            for (const QByteArray &line : p.command(flow))
                if (line.startsWith("flow "))
                    r.flows[QString::fromLatin1(flow)].push_back(parseTiming(line).second);
    }

    p.command("hide");
    QThread::msleep(settleMs);
    r.hiddenCpu = idleCpu(p.pid(), o.idleSeconds);
    const procfs::Memory m = procfs::memory(p.pid());
    r.hiddenRssMiB = mib(m.residentKiB);
    r.peakMiB = mib(m.peakKiB);
    p.quit();
    return true;
}

// --- the report ------------------------------------------------------------------

QString row(const QString &label, const QStringList &cells, int labelWidth = 44)
{
    QString line = label.leftJustified(labelWidth);
    for (const QString &c : cells)
        line += c.rightJustified(22);
    return line;
}

QString loadAverage()
{
    QFile loadavg("/proc/loadavg");
    return loadavg.open(QIODevice::ReadOnly) ? QString::fromLatin1(loadavg.readAll()).section(' ', 0, 2)
                                             : QStringLiteral("?");
}

// When and where it ran, and how busy the machine was.
struct Conditions
{
    QString started = QDateTime::currentDateTime().toString(Qt::ISODate);
    QString loadAtStart = loadAverage();

    QString text() const
    {
        const QByteArray backend = qgetenv("QT_QUICK_BACKEND");
        return QStringLiteral("%1, Qt %2, %3 cores, load average %4 at start and %5 at the end, "
                              "renderer: %6, display %7")
            .arg(started, QString::fromLatin1(qVersion()))
            .arg(QThread::idealThreadCount())
            .arg(loadAtStart, loadAverage(),
                 backend.isEmpty() ? QStringLiteral("software (default)")
                                   : "QT_QUICK_BACKEND=" + QString::fromLocal8Bit(backend),
                 QString::fromLocal8Bit(qgetenv("DISPLAY")));
    }
};

void report(const BenchOptions &o, const Conditions &conditions, double noMouseRss, double noMousePeak,
            double noMouseCpu, const QMap<QString, SetResults> &sets)
{
    QStringList names;
    for (const QString &s : o.commandSets)
        names << "hid" + s;
    auto each = [&](const std::function<QString(const SetResults &)> &cell) {
        QStringList cells;
        for (const QString &s : o.commandSets)
            cells << cell(sets.value(s));
        return cells;
    };

    print("");
    print("r770 benchmark: the program against the virtual R770");
    print(conditions.text());
    print("");
    print(row(QStringLiteral("Start-up, %1 runs: median (min to max)").arg(o.startRuns), names));
    auto span = [](const std::vector<double> &v) {
        if (v.empty())
            return QStringLiteral("-");
        return QStringLiteral("%1 s (%2-%3)")
            .arg(fixed(median(v) / 1000, 3), fixed(*std::min_element(v.begin(), v.end()) / 1000, 2),
                 fixed(*std::max_element(v.begin(), v.end()) / 1000, 2));
    };
    print(row("  process start to window mapped", each([&](const SetResults &r) { return span(r.mappedMs); })));
    print(row("  process start to first initUI returned", each([&](const SetResults &r) { return span(r.initUiMs); })));
    print("");
    print(row("Memory (MiB)", QStringList{"no mouse"} + names));
    print(row("  hidden in the tray, steady RSS",
              QStringList{fixed(noMouseRss, 1)} + each([](const SetResults &r) { return fixed(r.hiddenRssMiB, 1); })));
    print(row("  shown with the scene, steady RSS",
              QStringList{"-"} + each([](const SetResults &r) { return fixed(r.shownRssMiB, 1); })));
    print(row("  peak RSS of the run",
              QStringList{fixed(noMousePeak, 1)} + each([](const SetResults &r) { return fixed(r.peakMiB, 1); })));
    print("");
    print(row(QStringLiteral("CPU over %1 s idle (% of one core)").arg(o.idleSeconds), QStringList{"no mouse"} + names));
    print(row("  hidden in the tray",
              QStringList{fixed(noMouseCpu, 3)} + each([](const SetResults &r) { return fixed(r.hiddenCpu, 3); })));
    print(row("  shown, connected", QStringList{"-"} + each([](const SetResults &r) { return fixed(r.shownCpu, 3); })));
    print("");
    // From the moment an idle X client sees the press that xdotool made to
    // the scene's detectKeyboard; that client's own wake-up (tenths of a
    // millisecond) is not counted, so the smallest figures can be negative.
    print(row(QStringLiteral("Key press to detectKeyboard, %1 presses (ms)").arg(o.keyPresses), names));
    print(row("  p50", each([](const SetResults &r) { return fixed(percentile(r.keyMs, 50), 2); })));
    print(row("  p99", each([](const SetResults &r) { return fixed(percentile(r.keyMs, 99), 2); })));
    print("");
    print(QStringLiteral("Device operations, median of %1 (ms): wall / the protocol pauses the link took (how many) = ratio")
              .arg(o.operationRuns));
    print(row("", names, 28));
    QStringList operationNames;
    for (const QString &s : o.commandSets)
        for (const auto &op : sets.value(s).operations)
            if (!operationNames.contains(op.first))
                operationNames << op.first;
    auto timingCell = [](const std::optional<Timing> &t) {
        if (!t)
            return QStringLiteral("-");
        return QStringLiteral("%1 / %2 (%3) = %4")
            .arg(fixed(t->wallMs, 1), fixed(t->pauseMs, 0)).arg(t->pauses).arg(fixed(t->ratio(), 3));
    };
    for (const QString &name : operationNames) {
        QStringList cells;
        for (const QString &s : o.commandSets) {
            std::optional<Timing> found;
            for (const auto &op : sets.value(s).operations)
                if (op.first == name)
                    found = op.second;
            cells << timingCell(found).rightJustified(30);
        }
        print(QString("  " + name).leftJustified(28) + cells.join(' '));
    }
    print("");
    print(QStringLiteral("Flows, median of %1 (ms): wall / pauses (how many) = ratio").arg(o.flowRuns));
    for (const char *flow : {"save", "switch"}) {
        QStringList cells;
        for (const QString &s : o.commandSets) {
            const auto runs = sets.value(s).flows.find(QString::fromLatin1(flow));
            cells << timingCell(runs == sets.value(s).flows.end() ? std::nullopt
                                                                  : std::optional<Timing>(medianTiming(runs->second)))
                         .rightJustified(30);
        }
        print(QString(flow == QByteArray("save") ? "  save, every page edited" : "  profile switch").leftJustified(28)
              + cells.join(' '));
    }
}

} // namespace

int runBenchmark(const BenchOptions &o)
{
    const Conditions conditions;
    XWatch x;
    if (!x.isValid()) {
        fail("needs an X display with XInput 2 (run it through scripts/bench)");
        return 1;
    }
    if (QStandardPaths::findExecutable("xdotool").isEmpty()) {
        fail("needs xdotool");
        return 1;
    }
    std::map<QString, std::unique_ptr<ProgramFolder>> folders;
    for (const QString &set : o.commandSets) {
        auto folder = std::make_unique<ProgramFolder>();
        if (!folder->prepare(set)) {
            fail("cannot make a copy of the program");
            return 1;
        }
        folders[set] = std::move(folder);
    }

    QMap<QString, SetResults> sets;
    for (const QString &set : o.commandSets) {
        print("start-up, hid" + set + " ...");
        if (!measureStartUps(o, x, *folders[set], set, sets[set]))
            return 1;
    }

    print(QStringLiteral("no mouse: %1 s idle ...").arg(o.idleSeconds));
    Program idle;
    if (!idle.start(*folders.begin()->second, "none"))
        return 1;
    QThread::msleep(settleMs);
    const double noMouseCpu = idleCpu(idle.pid(), o.idleSeconds);
    const procfs::Memory noMouse = procfs::memory(idle.pid());
    idle.quit();

    for (const QString &set : o.commandSets) {
        print("hid" + set + " connected: idle, keys, operations, flows, hidden ...");
        if (!measureConnected(o, x, *folders[set], set, sets[set]))
            return 1;
    }
    report(o, conditions, mib(noMouse.residentKiB), mib(noMouse.peakKiB), noMouseCpu, sets);
    return 0;
}
