// Discovery on a device table from apConfig.bin: the table, the interfaces
// found for it on a bus with one virtual mouse, and the handshake with each
// entry that found one, until one is accepted.
#include "discovery.h"
#include "fuzzsupport.h"
#include "hid_thread.h"
#include "virtual_r770.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::runtimeFolder();
    static const vr770::VirtualR770 mouse = vr770::addMouse();
    const QString path = QStringLiteral("./modules/setting/apConfig.bin");
    fuzz::writeInput(path, data, size);

    const QList<DeviceEntry> entries = discovery::findDevices();
    Hid_Thread link;
    const discovery::Outcome found = discovery::acceptFirst(link, entries);
    FUZZ_CHECK(found.present <= entries.size());
    FUZZ_CHECK(found.result != Handshake::Accepted || !entries.at(found.index).commandPath.isEmpty());
    FUZZ_CHECK(link.hidReady && !link.commandHandle);
    FUZZ_CHECK(mouse.openHandles() == 0);
    return 0;
}
