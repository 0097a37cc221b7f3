// The recoil store as the scene reads it: the names of the weapon sets and
// each set; a set of six values written back as it was read reads back the
// same.
#include "fuzzsupport.h"
#include "gunstore.h"

using fuzz::texts;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::runtimeFolder();
    fuzz::writeInput(QStringLiteral("./modules/gun/gunData.bin"), data, size);

    const QStringList names = gunstore::setKeys();
    for (int i = 0; i < names.size() && i < 32; ++i) {
        const QVariantList set = gunstore::readSet(names.at(i));
        if (set.size() != gunstore::SetValueCount)
            continue;
        if (!gunstore::saveSet(names.at(i), set))
            continue; // a name the store refuses to write
        FUZZ_CHECK(texts(gunstore::readSet(names.at(i))) == texts(set));
    }
    return 0;
}
