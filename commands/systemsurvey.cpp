#include "systemsurvey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <optional>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace survey {

namespace {

QString fromEnvironment(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool accessible(const QString &path)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
#else
    const QFileInfo info(path);
    return info.isReadable() && info.isWritable();
#endif
}

// One udev rule: its match conditions and whether it grants access.
struct Rule
{
    QString where; // file:line
    QList<std::array<QString, 3>> conditions; // key, operator, value
    bool grants = false;
};

QList<Rule> readRules()
{
    // A file name in an earlier folder hides the same name in later ones;
    // udev then reads all files in the order of their names.
    QMap<QString, QString> files;
    for (const QString &folder : udevRuleFolders())
        for (const QFileInfo &info : QDir(folder).entryInfoList({QStringLiteral("*.rules")}, QDir::Files, QDir::Name))
            if (!files.contains(info.fileName()))
                files.insert(info.fileName(), info.filePath());
    static const QRegularExpression pair(
        QStringLiteral(R"(([A-Za-z_]+(?:\{[^}]*\})?)\s*(==|!=|\+=|-=|:=|=)\s*"([^"]*)\")"));
    QList<Rule> rules;
    for (const QString &path : files) {
        const QStringList lines = QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'));
        QString pending;
        int first = 0;
        for (int n = 0; n < lines.size(); ++n) {
            QString line = lines.at(n);
            if (pending.isEmpty())
                first = n + 1;
            if (line.endsWith(QLatin1Char('\\'))) {
                pending += line.chopped(1) + QLatin1Char(' ');
                continue;
            }
            line = (pending + line).trimmed();
            pending.clear();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            Rule rule;
            rule.where = QStringLiteral("%1:%2").arg(path).arg(first);
            for (const QRegularExpressionMatch &m : pair.globalMatch(line)) {
                const QString key = m.captured(1), op = m.captured(2), value = m.captured(3);
                if (op == QLatin1String("==") || op == QLatin1String("!="))
                    rule.conditions.append({key, op, value});
                else if ((key == QLatin1String("TAG") && value == QLatin1String("uaccess"))
                         || key == QLatin1String("MODE") || key == QLatin1String("GROUP"))
                    rule.grants = true;
            }
            if (rule.grants)
                rules << rule;
        }
    }
    return rules;
}

// udev's patterns: shell globs, alternatives separated by '|'.
bool matches(const QString &pattern, const QString &value)
{
    for (const QString &alternative : pattern.split(QLatin1Char('|')))
        if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(
                                   alternative))
                .match(value)
                .hasMatch())
            return true;
    return false;
}

// Whether `rule` applies to the device. Conditions this survey cannot
// judge (ACTION, ENV, drivers...) are taken as met: the report says a rule
// may grant access, and names it.
bool applies(const Rule &rule, const Hidraw &device)
{
    const auto hex = [](int id) { return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')); };
    for (const auto &[key, op, value] : rule.conditions) {
        std::optional<QString> actual;
        if (key == QLatin1String("KERNEL"))
            actual = device.name;
        else if (key == QLatin1String("SUBSYSTEM"))
            actual = QStringLiteral("hidraw");
        else if (key == QLatin1String("ATTRS{idVendor}"))
            actual = hex(device.vid);
        else if (key == QLatin1String("ATTRS{idProduct}"))
            actual = hex(device.pid);
        if (!actual)
            continue;
        if (matches(value, *actual) != (op == QLatin1String("==")))
            return false;
    }
    return true;
}

} // namespace

QString sysfsRoot()
{
    return fromEnvironment("R770_SYSFS_ROOT", QStringLiteral("/sys"));
}

QString devRoot()
{
    return fromEnvironment("R770_DEV_ROOT", QStringLiteral("/dev"));
}

QStringList udevRuleFolders()
{
    return fromEnvironment("R770_UDEV_RULES_DIRS",
                           QStringLiteral("/etc/udev/rules.d:/run/udev/rules.d:/usr/lib/udev/rules.d:/lib/udev/rules.d"))
        .split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

void firstUsage(const QByteArray &descriptor, int &usagePage, int &usage)
{
    usagePage = usage = -1;
    for (int i = 0; i < descriptor.size();) {
        const uchar prefix = uchar(descriptor.at(i));
        if (prefix == 0xFE) { // long item: size, tag, data
            i += 3 + (i + 1 < descriptor.size() ? uchar(descriptor.at(i + 1)) : 0);
            continue;
        }
        const int size = (prefix & 3) == 3 ? 4 : prefix & 3;
        if (i + 1 + size > descriptor.size())
            break;
        quint32 value = 0;
        for (int b = 0; b < size; ++b)
            value |= quint32(uchar(descriptor.at(i + 1 + b))) << (8 * b);
        const uchar item = prefix & 0xFC;
        if (item == 0x04 && usagePage < 0)
            usagePage = int(value & 0xFFFF);
        else if (item == 0x08 && usage < 0)
            usage = int(value & 0xFFFF);
        if (usagePage >= 0 && usage >= 0)
            return;
        i += 1 + size;
    }
}

QList<Hidraw> hidrawDevices()
{
    const QList<Rule> rules = readRules();
    QList<Hidraw> devices;
    const QDir classDir(sysfsRoot() + QStringLiteral("/class/hidraw"));
    QStringList names = classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    // hidraw2 before hidraw10.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const QString &name : names) {
        Hidraw device;
        device.name = name;
        device.node = devRoot() + QLatin1Char('/') + name;
        const QString hid = classDir.filePath(name) + QStringLiteral("/device");
        for (const QString &line : QString::fromUtf8(readAll(hid + QStringLiteral("/uevent"))).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("HID_ID="))) {
                const QStringList parts = line.mid(7).split(QLatin1Char(':'));
                device.vid = int(parts.value(1).toUInt(nullptr, 16) & 0xFFFF);
                device.pid = int(parts.value(2).toUInt(nullptr, 16) & 0xFFFF);
            } else if (line.startsWith(QLatin1String("HID_NAME="))) {
                device.hidName = line.mid(9);
            } else if (line.startsWith(QLatin1String("HID_PHYS="))) {
                // "usb-0000:00:14.0-2/input1": the USB interface number.
                const int at = line.lastIndexOf(QLatin1String("/input"));
                bool ok = false;
                const int number = at < 0 ? -1 : line.mid(at + 6).toInt(&ok);
                device.interfaceNumber = ok ? number : -1;
            }
        }
        QFile descriptor(hid + QStringLiteral("/report_descriptor"));
        if (descriptor.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = descriptor.readAll();
            device.descriptorLength = int(bytes.size());
            firstUsage(bytes, device.usagePage, device.usage);
        }
        device.nodeExists = QFileInfo::exists(device.node);
        device.openable = device.nodeExists && accessible(device.node);
        for (const Rule &rule : rules)
            if (applies(rule, device))
                device.grantedBy << rule.where;
        devices << device;
    }
    return devices;
}

QString installedRule()
{
    for (const QString &folder : udevRuleFolders()) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(ourRuleFile);
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

} // namespace survey
