#include "langstrings.h"

#include "deviceeventtexts.h"
#include "fileops.h"

#include <QDir>
#include <QSettings>

namespace langstrings {

const char *const EventGroup = "other";

namespace {
const char *const languageFolder = "./modules/i18n/";
const char *const languageSuffix = ".ini";

// An unquoted text with commas reads back as a list; give it back as text.
QString textOf(const QVariant &stored)
{
    if (stored.metaType().id() == QMetaType::QStringList)
        return stored.toStringList().join(QStringLiteral(", "));
    return stored.toString();
}
} // namespace

QString languagePath(const QString &langCode)
{
    const QString suffix = QString::fromLatin1(languageSuffix);
    if (!fileops::isSafeBaseName(langCode, suffix))
        return QString();
    return QString::fromLatin1(languageFolder) + langCode + suffix;
}

QStringList available()
{
    const QString suffix = QString::fromLatin1(languageSuffix);
    QStringList names;
    const QStringList files = QDir(QString::fromLatin1(languageFolder))
                                  .entryList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QString name = file.chopped(suffix.size());
        if (!languagePath(name).isEmpty())
            names << name;
    }
    return names;
}

QStringList read(const QString &group, const QString &langCode)
{
    QStringList texts;
    const QString path = languagePath(langCode);
    if (!path.isEmpty() && fileops::isReadableFile(path, fileops::MaxIniFileBytes)) {
        // Qt 6 reads INI files as UTF-8.
        const QSettings settings(path, QSettings::IniFormat);
        const QString prefix = group + QLatin1Char('/');
        const int total = qBound(0, settings.value(prefix + QStringLiteral("total"), 0).toInt(), MaxTexts);
        texts.reserve(total);
        for (int i = 0; i < total; ++i)
            texts << textOf(settings.value(prefix + QString::number(i)));
    }
    if (group == QLatin1String(EventGroup))
        deviceEventTexts().replace(texts);
    return texts;
}

} // namespace langstrings
