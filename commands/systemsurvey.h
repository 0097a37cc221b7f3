#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the system says about HID devices and their permissions, read from
// sysfs, /dev and the udev rule folders. Each root can be moved by an
// environment variable, so that the report can be run on a made-up tree:
// R770_SYSFS_ROOT (default /sys), R770_DEV_ROOT (default /dev) and
// R770_UDEV_RULES_DIRS (folders separated by ':', default the four udev
// reads, in its order of precedence).
namespace survey {

QString sysfsRoot();
QString devRoot();
QStringList udevRuleFolders();

// The name of the rule file the package installs.
inline constexpr char ourRuleFile[] = "70-r770.rules";

struct Hidraw
{
    QString name; // "hidraw3"
    QString node; // its /dev path
    QString hidName;
    int vid = -1;
    int pid = -1;
    int interfaceNumber = -1;   // from the USB interface, -1 when unknown
    int usagePage = -1;         // the report descriptor's first usage page
    int usage = -1;             // and first usage
    int descriptorLength = -1;  // -1: unreadable
    bool nodeExists = false;
    bool openable = false;      // read and write access for this user
    QStringList grantedBy;      // "file:line" of the udev rules that give access
};

// Every hidraw device sysfs lists, by name.
QList<Hidraw> hidrawDevices();

// The path of the package's udev rule where udev would read it (the first
// folder that has it), or empty.
QString installedRule();

// The first usage page and usage of a HID report descriptor (-1 when none).
void firstUsage(const QByteArray &descriptor, int &usagePage, int &usage);

} // namespace survey
