// A language file as the scene reads its groups of texts: a bounded number
// of texts per group, and the notice texts taken from the group "other".
#include "deviceeventtexts.h"
#include "fuzzsupport.h"
#include "langstrings.h"

#include <QSettings>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::runtimeFolder();
    const QString language = QStringLiteral("Fuzz");
    const QString path = langstrings::languagePath(language);
    fuzz::writeInput(path, data, size);

    QStringList groups = QSettings(path, QSettings::IniFormat).childGroups().mid(0, 16);
    groups << QString::fromLatin1(langstrings::EventGroup);
    for (const QString &group : groups) {
        deviceEventTexts().reset();
        const QStringList texts = langstrings::read(group, language);
        FUZZ_CHECK(texts.size() <= langstrings::MaxTexts);
        if (group != QLatin1String(langstrings::EventGroup))
            continue;
        for (int i = 0; i < DeviceEventTextTable::Count; ++i)
            FUZZ_CHECK(deviceEventTexts().at(i) == (i < texts.size() ? texts.at(i) : QStringLiteral("DPI Switch to")));
    }
    return 0;
}
