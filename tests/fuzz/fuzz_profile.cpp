// A profile imported into a slot, then read the ways the program reads one:
// the import either takes the file byte for byte or leaves the slot as it
// was; every entry reads as a value or a list; the key assignments and the
// firmware matrix become device matrices for both command sets; the recoil
// entries read; and the macro references are walked by the unbinding that a
// macro's deletion runs.
#include "fuzzsupport.h"
#include "gunstore.h"
#include "inivalue.h"
#include "keymatrix.h"
#include "macrolibrary.h"
#include "profilefiles.h"

#include <QSettings>

namespace {

std::vector<int> ints(const QVariantList &list)
{
    std::vector<int> values;
    for (const QVariant &v : list)
        values.push_back(v.toInt());
    return values;
}

// The 16 four-value entries under `group`, missing values as 0.
std::vector<int> matrixValues(const QSettings &profile, const QString &group)
{
    std::vector<int> values(keymatrix::matrixSize, 0);
    for (int n = 0; n < keymatrix::entryCount; ++n) {
        const std::vector<int> entry = ints(ini::toList(profile.value(group + QString::number(n))));
        for (int i = 0; i < keymatrix::entrySize && i < int(entry.size()); ++i)
            values[size_t(n * keymatrix::entrySize + i)] = entry[size_t(i)];
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::runtimeFolder();
    // The controller's long-lived settings objects, kept across inputs.
    static struct SlotFiles
    {
        QList<QSettings *> list;
        SlotFiles()
        {
            for (int slot = 0; slot < profilefiles::SlotCount; ++slot)
                list << new QSettings(profilefiles::slotPath(slot), QSettings::IniFormat);
        }
        ~SlotFiles() { qDeleteAll(list); }
    } slotFiles;
    QList<QSettings *> &profiles = slotFiles.list;
    static QSettings factory(profilefiles::factoryPath(), QSettings::IniFormat);

    const QString source = QStringLiteral("import.pf");
    fuzz::writeInput(source, data, size);
    profiles.at(0)->sync();
    const QByteArray before = fuzz::fileBytes(profilefiles::slotPath(0));
    const bool imported = profilefiles::replaceSlot(profiles, 0, source);
    const QByteArray after = fuzz::fileBytes(profilefiles::slotPath(0));
    FUZZ_CHECK(imported ? after == QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))
                        : after == before);
    QSettings *profile = profiles.at(0);
    FUZZ_CHECK(profile);

    // Every entry, as the scene's data operations read it.
    const QStringList keys = profile->allKeys();
    for (int i = 0; i < keys.size() && i < 256; ++i) {
        const QVariant value = profile->value(keys.at(i));
        const QVariantList list = ini::toList(value);
        FUZZ_CHECK(list.isEmpty() || value.metaType().id() == QMetaType::QStringList
                   || value.metaType().id() == QMetaType::QVariantList);
    }

    const keymatrix::Matrix firmware =
        keymatrix::matrixFromValues(matrixValues(*profile, QStringLiteral("mouseFwKeyMatrix/")));
    const std::vector<int> assigned = matrixValues(*profile, QStringLiteral("mouseKeyMatrix/"));
    for (CommandSet set : {CommandSet::hid553, CommandSet::hid560}) {
        const keymatrix::Matrix m = keymatrix::deviceMatrix(assigned, set);
        if (keymatrix::hasRecoilKey(m))
            (void)keymatrix::recoilSet(m, firmware, {1, 2, 3}, set);
    }
    for (const QString &index : {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}) {
        (void)gunstore::xySensitive(profile, index);
        (void)gunstore::selectGun(profile, index);
    }
    FUZZ_CHECK(macrolibrary::unbindFromProfiles(profiles, &factory, QStringLiteral("M1")));
    return 0;
}
