#pragma once

#include <QString>

// The global configuration file (device table and [common]/[mouse] settings)
// and its factory copy.
namespace configfile {

inline QString path()
{
    return QStringLiteral("./modules/setting/apConfig.bin");
}

inline QString factoryPath()
{
    return QStringLiteral("./modules/setting/apConfigD.bin");
}

} // namespace configfile
