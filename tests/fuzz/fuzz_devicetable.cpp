// The device table of apConfig.bin as discovery reads it, the interfaces
// found for it on a bus with one virtual mouse, and the handshake with each
// entry that found an interface, until one is accepted.
#include "devicetable.h"
#include "fuzzsupport.h"
#include "hid_thread.h"
#include "inivalue.h"
#include "virtual_r770.h"

#include <QSettings>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::runtimeFolder();
    static const vr770::VirtualR770 mouse = vr770::addMouse();
    const QString path = QStringLiteral("./modules/setting/apConfig.bin");
    fuzz::writeInput(path, data, size);

    QList<DeviceEntry> entries;
    {
        const QSettings config(path, ini::formatFor(path));
        entries = readDeviceTable(config);
    }
    findDeviceInterfaces(entries);
    Hid_Thread link;
    link.replaceDeviceList(entries);

    // Handshakes are quick with the virtual mouse; a few per input keep the
    // fuzzer fast.
    constexpr int MaxHandshakes = 8;
    int tried = 0;
    for (int j = 0; j < entries.size() && tried < MaxHandshakes; ++j) {
        if (entries.at(j).commandPath.isEmpty())
            continue;
        ++tried;
        const Handshake result = link.handshake(j);
        FUZZ_CHECK(link.hidReady && !link.commandHandle);
        FUZZ_CHECK(mouse.openHandles() == 0);
        if (result == Handshake::Accepted)
            break;
    }
    return 0;
}
