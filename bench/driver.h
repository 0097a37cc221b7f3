#pragma once

#include <QStringList>

// Runs the program (this executable in its program role, from a private
// copy of the runtime folder) under the X display, measures it from outside
// and from its reports, and prints every figure.
struct BenchOptions
{
    int startRuns = 7;      // start-ups per command set
    int idleSeconds = 60;   // each idle CPU measurement
    int keyPresses = 200;   // keys typed for the latency figures
    int operationRuns = 5;  // runs of each device operation
    int flowRuns = 3;       // saves and profile switches per command set
    QStringList commandSets{QStringLiteral("553"), QStringLiteral("560")};
};

int runBenchmark(const BenchOptions &options);
