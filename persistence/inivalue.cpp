#include "inivalue.h"

#include "fileops.h"

#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QEvent>
#include <QMap>
#include <QStringList>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

namespace {
// Every key of a settings object with its value in a form that does not
// depend on how it was typed before writing ("5" and 5 are the same text in
// the file); lists keep their elements.
using Snapshot = QMap<QString, QString>;

QString canonical(const QVariant &value)
{
    if (!value.isValid())
        return QStringLiteral("I");
    if (!isList(value))
        return QLatin1Char('S') + value.toString();
    QStringList texts;
    for (const QVariant &element : value.toList())
        texts << elementText(element);
    return QLatin1Char('L') + texts.join(QChar(0x1f));
}

Snapshot snapshot(const QSettings &settings)
{
    Snapshot out;
    const QStringList keys = settings.allKeys();
    for (const QString &key : keys)
        out.insert(key, canonical(settings.value(key)));
    return out;
}

// A second name for the file, so that a fresh QSettings reads it from the
// disk: QSettings shares one cache per file name within the process.
bool linkAlias(const QString &path, const QString &alias)
{
#ifdef Q_OS_UNIX
    return ::link(QFile::encodeName(path).constData(), QFile::encodeName(alias).constData()) == 0;
#else
    return QFile::copy(path, alias);
#endif
}

// What the file `path` holds as read from the disk, and the values
// themselves when `values` is given; false when it cannot be read. A
// missing file holds nothing.
bool storedSnapshot(const QString &path, Snapshot *out, QVariantMap *values = nullptr)
{
    out->clear();
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    if (!info.isFile() || info.size() > fileops::MaxIniFileBytes)
        return false;
    // A symbolic link takes no room in the folder where a hard link may not
    // fit; a copy serves where the file system has neither.
    const QString alias = fileops::siblingName(path);
    if (!linkAlias(path, alias) && !QFile::link(QFileInfo(path).fileName(), alias) && !QFile::copy(path, alias))
        return false;
    {
        const QSettings fresh(alias, QSettings::IniFormat);
        *out = snapshot(fresh);
        if (values) {
            const QStringList keys = fresh.allKeys();
            for (const QString &key : keys)
                values->insert(key, fresh.value(key));
        }
    }
    QFile::remove(alias);
    return true;
}

// Gives the settings object the file's values again, so that it shows (and
// a later write carries) what the file holds.
void revertTo(QSettings &settings, const Snapshot &current, const Snapshot &stored, const QVariantMap &values)
{
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        if (!stored.contains(it.key()))
            settings.remove(it.key());
    }
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (current.value(it.key()) != it.value())
            settings.setValue(it.key(), values.value(it.key()));
    }
}

// QSettings::sync() with the old file kept aside: the result is read back
// from the disk and compared with what the settings object meant to write
// (its values after the sync, changes of other processes merged in); when
// it differs (a full disk leaves an empty file while sync() reports
// success) the old file is put back as it was.
bool checkedSync(QSettings &settings, QString *why)
{
    const QString path = settings.fileName();
    if (!fileops::clearLock(path, why))
        return false;
    const bool existed = QFileInfo(path).isFile();
    // The old file is kept as a second name of it; where the file system
    // has no hard links, its bytes are kept instead.
    QString keep;
    QByteArray keptBytes;
    if (existed) {
        keep = fileops::siblingName(path);
        if (!linkAlias(path, keep)) {
            keep.clear();
            QFile old(path);
            if (old.size() > fileops::MaxIniFileBytes || !old.open(QIODevice::ReadOnly)) {
                if (why)
                    *why = QCoreApplication::translate("ini", "the file cannot be read");
                return false;
            }
            keptBytes = old.readAll();
        }
    }
    // The status QSettings reports is of no use here: it keeps the first
    // error for the object's lifetime, and it reports no error for a file
    // a full disk left empty. What the file holds decides.
    settings.sync();
    Snapshot stored;
    const bool ok = storedSnapshot(path, &stored) && stored == snapshot(settings);
    if (ok) {
        QFile written(path);
#ifdef Q_OS_UNIX
        if (written.open(QIODevice::ReadOnly))
            ::fsync(written.handle());
#endif
        if (!keep.isEmpty())
            QFile::remove(keep);
        return true;
    }
    // Put the old file back in one step (or take away one that was not there).
    if (!keep.isEmpty()) {
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(keep).toStdString(), QFile::encodeName(path).toStdString(), ec);
        // A rename between two names of one file (nothing was replaced)
        // does nothing and leaves both.
        QFile::remove(keep);
    } else if (existed) {
        QFile now(path);
        if (!now.open(QIODevice::ReadOnly) || now.readAll() != keptBytes)
            fileops::writeChecked(path, keptBytes, false);
    } else if (!existed && QFileInfo(path).isFile()) {
        QFile::remove(path);
    }
    if (why && why->isEmpty())
        *why = QCoreApplication::translate("ini", "the file could not be written completely; the disk may be full");
    return false;
}
} // namespace

bool CheckedSettings::event(QEvent *event)
{
    if (event->type() != QEvent::UpdateRequest)
        return QSettings::event(event);
    if (!flush(*this))
        deferredFailed = true;
    return true;
}

bool flush(QSettings &settings, QString *why)
{
    if (why)
        why->clear();
    if (checkedSync(settings, why))
        return true;

    // Refused: the settings object must not keep the refused values to be
    // written by a later save. It takes the file's values again; the same
    // checked write then leaves its cache agreeing with the file (a write
    // QSettings took for done had left the cache on the refused values).
    const QString path = settings.fileName();
    Snapshot stored;
    QVariantMap values;
    if (!storedSnapshot(path, &stored, &values))
        return false;
    const Snapshot current = snapshot(settings);
    if (current != stored) {
        const bool existed = QFileInfo(path).isFile();
        revertTo(settings, current, stored, values);
        QString ignored;
        checkedSync(settings, &ignored);
        // Taking back every value of a file that was not there writes an
        // empty one.
        if (!existed)
            QFile::remove(path);
    }
    return false;
}

} // namespace ini
