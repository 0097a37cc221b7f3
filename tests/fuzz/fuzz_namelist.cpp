// name.bin as the lists of macros, weapons and profiles are read from it;
// each list written back as it was read reads back the same.
#include "fuzzsupport.h"
#include "namelists.h"

using fuzz::texts;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::runtimeFolder();
    const QString path = QStringLiteral("./modules/setting/name.bin");
    fuzz::writeInput(path, data, size);

    QList<QStringList> lists;
    for (uint type = 0; type <= namelists::SelectedGuns + 1; ++type)
        lists << texts(namelists::read(type));
    FUZZ_CHECK(lists.last().isEmpty()); // no such list
    for (uint type = 0; type <= namelists::SelectedGuns; ++type) {
        const QStringList &names = lists.at(int(type));
        if (names.isEmpty())
            continue;
        FUZZ_CHECK(namelists::update(type, names));
        FUZZ_CHECK(texts(namelists::read(type)) == names);
    }
    return 0;
}
