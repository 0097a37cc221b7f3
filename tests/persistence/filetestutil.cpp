#include "freshread.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <cstdio>
#include <cstring>

namespace FreshRead {

namespace {
const char *const flag = "--fresh-read";
const char *const kindNames[] = {"missing", "text", "list"};
} // namespace

Value read(const QString &file, const QString &key)
{
    QProcess reader;
    reader.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(flag), file, key});
    Value value;
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0)
        return value;
    QStringList lines = QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (lines.size() < 2) // kind, then the values, then the final empty piece
        return value;
    const QString kind = lines.takeFirst();
    lines.removeLast();
    if (kind == QLatin1String(kindNames[Value::Missing])) {
        value.kind = Value::Missing;
    } else if (kind == QLatin1String(kindNames[Value::Text]) && lines.size() == 1) {
        value.kind = Value::Text;
        value.text = lines.first();
    } else if (kind == QLatin1String(kindNames[Value::List])) {
        value.kind = Value::List;
        value.items = lines;
    }
    return value;
}

bool handle(int argc, char **argv, int *exitCode)
{
    if (argc != 4 || std::strcmp(argv[1], flag) != 0)
        return false;
    const QSettings settings(QString::fromLocal8Bit(argv[2]), QSettings::IniFormat);
    const QVariant stored = settings.value(QString::fromLocal8Bit(argv[3]));
    QByteArray out;
    if (!stored.isValid()) {
        out = QByteArray(kindNames[Value::Missing]) + '\n';
    } else if (stored.metaType().id() == QMetaType::QStringList
               || stored.metaType().id() == QMetaType::QVariantList) {
        out = QByteArray(kindNames[Value::List]) + '\n';
        for (const QString &item : stored.toStringList())
            out += item.toUtf8() + '\n';
    } else {
        out = QByteArray(kindNames[Value::Text]) + '\n' + stored.toString().toUtf8() + '\n';
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    *exitCode = 0;
    return true;
}

} // namespace FreshRead
