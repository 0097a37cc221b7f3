// A macro file as the macro editor reads it, saved back and read again: the
// second read gives exactly what the first gave (load, save, load).
#include "fuzzsupport.h"
#include "macrolibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::runtimeFolder();
    const QString name = QStringLiteral("fuzz");
    fuzz::writeInput(macrolibrary::macroPath(name), data, size);

    const QStringList first = macrolibrary::load(name);
    // The steps, then the repeat count.
    FUZZ_CHECK(!first.isEmpty() && first.size() <= macrolibrary::MaxSteps + 1);
    FUZZ_CHECK(macrolibrary::save(name, first.mid(0, first.size() - 1), first.last()));
    const QStringList second = macrolibrary::load(name);
    FUZZ_CHECK(second == first);
    return 0;
}
