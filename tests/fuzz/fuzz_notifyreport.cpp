// The report the mouse sends on its notification interface: only 06 07 xx
// stage, exactly four bytes, names a stage, and every stage has a text.
#include "deviceeventtexts.h"
#include "fuzzsupport.h"
#include "notifyreport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int stage = notify::dpiStage(data, int(size));
    if (stage != notify::NoStage)
        FUZZ_CHECK(size == notify::ReportSize && data[0] == 0x06 && data[1] == 0x07 && stage == data[3]);
    else
        FUZZ_CHECK(size != notify::ReportSize || data[0] != 0x06 || data[1] != 0x07);
    const int index = notify::eventTextIndex(stage);
    FUZZ_CHECK(index >= 0 && index < DeviceEventTextTable::Count);
    (void)deviceEventTexts().at(index);
    return 0;
}
