#include "deviceeventtexts.h"

#include <QMutexLocker>

static const char *const defaultEventText = "DPI Switch to";

DeviceEventTextTable::DeviceEventTextTable()
{
    reset();
}

QString DeviceEventTextTable::at(int index) const
{
    QMutexLocker lock(&mutex);
    return index >= 0 && index < Count ? texts[index] : QString();
}

void DeviceEventTextTable::replace(const QStringList &list)
{
    QMutexLocker lock(&mutex);
    for (int i = 0; i < Count && i < list.size(); ++i)
        texts[i] = list.at(i);
}

void DeviceEventTextTable::reset()
{
    QMutexLocker lock(&mutex);
    for (QString &text : texts)
        text = QString::fromLatin1(defaultEventText);
}

DeviceEventTextTable &deviceEventTexts()
{
    static DeviceEventTextTable table;
    return table;
}
