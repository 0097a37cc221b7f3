// r770-bench: measures the program against the virtual R770 and prints the
// figures (start-up, memory, idle CPU, key latency, device operations and
// whole flows against the protocol's pauses). scripts/bench runs it under a
// virtual X server. With --program it is the program itself, started by
// the benchmark from a private copy of the runtime folder.
#include "driver.h"
#include "programrole.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstring>

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--program") == 0) {
        const char *mouse = argv[2];
        const VirtualMouse which = std::strcmp(mouse, "553") == 0   ? VirtualMouse::Hid553
                                   : std::strcmp(mouse, "560") == 0 ? VirtualMouse::Hid560
                                                                    : VirtualMouse::None;
        return runProgramRole(argc, argv, which);
    }

    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Measures the program against the virtual R770 and prints the figures.");
    parser.addHelpOption();
    BenchOptions o;
    const QCommandLineOption runs("runs", "Start-ups per command set.", "n", QString::number(o.startRuns));
    const QCommandLineOption idle("idle", "Seconds of each idle CPU measurement.", "s",
                                  QString::number(o.idleSeconds));
    const QCommandLineOption keys("keys", "Key presses for the latency figures.", "n",
                                  QString::number(o.keyPresses));
    const QCommandLineOption ops("ops", "Runs of each device operation.", "n",
                                 QString::number(o.operationRuns));
    const QCommandLineOption flows("flows", "Saves and profile switches per command set.", "n",
                                   QString::number(o.flowRuns));
    const QCommandLineOption sets("sets", "Command sets, comma-separated.", "list",
                                  o.commandSets.join(','));
    parser.addOptions({runs, idle, keys, ops, flows, sets});
    parser.process(app);
    o.startRuns = std::max(1, parser.value(runs).toInt());
    o.idleSeconds = std::max(1, parser.value(idle).toInt());
    o.keyPresses = std::max(1, parser.value(keys).toInt());
    o.operationRuns = std::max(1, parser.value(ops).toInt());
    o.flowRuns = std::max(1, parser.value(flows).toInt());
    o.commandSets = parser.value(sets).split(',', Qt::SkipEmptyParts);
    return runBenchmark(o);
}
