#include "filetestutil.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <cstdio>
#include <cstring>

namespace filetest {

namespace {
const char *const flag = "--fresh-read";
const char *const kindNames[] = {"missing", "text", "list"};
} // namespace

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QByteArray noise(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator gen(7);
    for (char &c : bytes)
        c = char(gen.bounded(256));
    return bytes;
}

void drainEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

Fresh freshRead(const QString &file, const QString &key)
{
    QProcess reader;
    reader.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(flag), file, key});
    Fresh value;
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0)
        return value;
    // The kind, then one value per line, then the final empty piece.
    QStringList lines = QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (lines.size() < 2)
        return value;
    const QString kind = lines.takeFirst();
    lines.removeLast();
    if (kind == QLatin1String(kindNames[Fresh::Missing])) {
        value.kind = Fresh::Missing;
    } else if (kind == QLatin1String(kindNames[Fresh::Text]) && lines.size() == 1) {
        value.kind = Fresh::Text;
        value.text = lines.first();
    } else if (kind == QLatin1String(kindNames[Fresh::List])) {
        value.kind = Fresh::List;
        value.items = lines;
    }
    return value;
}

bool handleFreshRead(int argc, char **argv, int *exitCode)
{
    if (argc != 4 || std::strcmp(argv[1], flag) != 0)
        return false;
    const QSettings settings(QString::fromLocal8Bit(argv[2]), QSettings::IniFormat);
    const QVariant stored = settings.value(QString::fromLocal8Bit(argv[3]));
    QByteArray out;
    if (!stored.isValid()) {
        out = QByteArray(kindNames[Fresh::Missing]) + '\n';
    } else if (stored.metaType().id() == QMetaType::QStringList) {
        out = QByteArray(kindNames[Fresh::List]) + '\n';
        for (const QString &item : stored.toStringList())
            out += item.toUtf8() + '\n';
    } else {
        out = QByteArray(kindNames[Fresh::Text]) + '\n' + stored.toString().toUtf8() + '\n';
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    *exitCode = 0;
    return true;
}

} // namespace filetest
