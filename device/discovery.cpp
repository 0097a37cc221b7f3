#include "discovery.h"

#include "configfile.h"
#include "devicetable.h"
#include "inivalue.h"

#include <QSettings>

namespace discovery {

QList<DeviceEntry> findDevices()
{
    QList<DeviceEntry> entries;
    {
        const QSettings config(configfile::path(), ini::formatFor(configfile::path()));
        entries = readDeviceTable(config);
    }
    findDeviceInterfaces(entries);
    return entries;
}

Outcome acceptFirst(Hid_Thread &link, const QList<DeviceEntry> &entries)
{
    link.replaceDeviceList(entries);
    Outcome out;
    for (int j = 0; j < entries.size() && out.result == Handshake::Rejected; ++j) {
        const QString path = entries.at(j).commandPath;
        if (path.isEmpty())
            continue;
        ++out.present;
        out.result = link.handshake(j);
        if (out.result == Handshake::Accepted)
            out.index = j;
        // The link empties the path of an interface it could not open.
        else if (link.deviceEntry(j).commandPath.isEmpty())
            out.unopenable << path;
    }
    return out;
}

} // namespace discovery
