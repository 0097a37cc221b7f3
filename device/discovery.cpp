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
    for (int j = 0; j < entries.size(); ++j) {
        const QString path = entries.at(j).commandPath;
        if (path.isEmpty())
            continue;
        ++out.present;
        const Handshake result = link.handshake(j);
        if (result == Handshake::Accepted || result == Handshake::LinkBusy) {
            out.result = result;
            out.index = result == Handshake::Accepted ? j : -1;
            return out;
        }
        // The link empties the path of an interface it could not open.
        if (link.deviceEntry(j).commandPath.isEmpty())
            out.unopenable << path;
        else if (result == Handshake::Failed)
            out.failures << link.lastFailure();
    }
    if (!out.failures.isEmpty())
        out.result = Handshake::Failed;
    return out;
}

} // namespace discovery
