// r770ctl linked with the virtual R770 instead of hidapi, for the tests:
// R770CTL_VIRTUAL_BUS names the file that says which mice are plugged in,
// R770CTL_VIRTUAL_LOG the file that receives their frames and final state.
#include "cli.h"
#include "virtualbus.h"

#include <QFile>
#include <cstdio>

namespace {
constexpr int setUpFailed = 99;
}

int main(int argc, char **argv)
{
    const QString bus = QFile::decodeName(qgetenv("R770CTL_VIRTUAL_BUS"));
    const QString log = QFile::decodeName(qgetenv("R770CTL_VIRTUAL_LOG"));
    std::vector<vr770::VirtualR770> mice;
    QString why;
    if (!bus.isEmpty() && !virtualbus::setUp(bus, mice, &why)) {
        std::fprintf(stderr, "virtual bus: %s\n", qPrintable(why));
        return setUpFailed;
    }
    const int code = ctl::run(argc, argv);
    if (!log.isEmpty() && !virtualbus::writeLog(log, mice)) {
        std::fprintf(stderr, "virtual bus: cannot write %s\n", qPrintable(log));
        return setUpFailed;
    }
    return code;
}
