#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

// The eight texts of the device-event tray notices. Written on the GUI
// thread when the language group "other" is read, read by the device watch
// thread, hence the lock.
class DeviceEventTextTable
{
public:
    static constexpr int Count = 8;

    DeviceEventTextTable();
    QString at(int index) const;
    // Entries 0.. take the given texts; entries beyond the list keep theirs.
    void replace(const QStringList &texts);
    void reset();

private:
    mutable QMutex mutex;
    QString texts[Count];
};

// The process-wide table, every entry "DPI Switch to" at start.
DeviceEventTextTable &deviceEventTexts();
