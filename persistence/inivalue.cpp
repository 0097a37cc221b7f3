#include "inivalue.h"

#include "fileops.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace ini {

static bool isList(const QVariant &v)
{
    const int id = v.metaType().id();
    return id == QMetaType::QVariantList || id == QMetaType::QStringList;
}

// A list element as text; an element that is itself a list keeps its
// values, joined the way the file joins list values.
static QString elementText(const QVariant &element)
{
    if (!isList(element))
        return element.toString();
    QStringList inner;
    for (const QVariant &v : element.toList())
        inner << elementText(v);
    return inner.join(QLatin1String(", "));
}

QVariantList toList(const QVariant &stored)
{
    // QVariant(QString).toList() would split the text into characters.
    return isList(stored) ? stored.toList() : QVariantList();
}

QVariant storable(const QVariant &value)
{
    if (!isList(value))
        return value;
    const QVariantList list = value.toList();
    if (list.isEmpty())
        return QVariant();
    if (list.size() == 1)
        return list.first().toString();
    QStringList texts;
    texts.reserve(list.size());
    for (const QVariant &element : list)
        texts << elementText(element);
    return texts;
}

void setValue(QSettings &settings, const QString &key, const QVariant &value)
{
    settings.setValue(key, storable(value));
}

static bool readNothing(QIODevice &, QSettings::SettingsMap &)
{
    return true;
}

static bool writeNothing(QIODevice &, const QSettings::SettingsMap &)
{
    return false;
}

QSettings::Format formatFor(const QString &path)
{
    static const QSettings::Format oversized =
        QSettings::registerFormat(QStringLiteral("oversized"), readNothing, writeNothing);
    const QFileInfo info(path);
    return info.size() > fileops::MaxIniFileBytes ? oversized : QSettings::IniFormat;
}

// The bytes of a file we may read; null for a missing or oversized one.
static QByteArray smallFileBytes(const QString &path)
{
    QFile file(path);
    if (file.size() > fileops::MaxIniFileBytes || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool flush(QSettings &settings)
{
    const QString path = settings.fileName();
    const QByteArray before = smallFileBytes(path);
    settings.sync();
    switch (settings.status()) {
    case QSettings::NoError:
        return true;
    case QSettings::FormatError:
        // A malformed line in the file as it was read; it hides how the
        // write went. A written file holds other bytes: the malformed line
        // is gone. (Size and time alone miss a rewrite of the same length
        // within the file system's time resolution.)
        return QFileInfo(path).isFile() && smallFileBytes(path) != before;
    default:
        return false;
    }
}

} // namespace ini
