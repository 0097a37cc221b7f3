#pragma once

#include <QStringList>
#include <QVariant>
#include <QVariantList>

class QSettings;

// The recoil store "./modules/gun/gunData.bin" (group "gunData", one list
// per weapon set) and the per-profile aim entries. The store is installed
// with the program and never created: without it writes do nothing and
// reads are empty. Writes return false when they changed nothing.
namespace gunstore {

// Values of a position-keyed set: name, key, period, X, Y, times.
constexpr int SetValueCount = 6;
// Values a rename passes: the new set, then the old name.
constexpr int RenameValueCount = 7;

enum ModifyType { Remove = 0, Rename = 1 };

bool storeExists();

// Writes elements 0 to 5 of `values` as the set `index`.
bool saveSet(const QString &index, const QVariantList &values);
// Remove: deletes the set named by element 0. Rename: deletes the set named
// by element 6 and writes elements 1 to 5 under the name in element 0.
bool modify(int type, const QVariantList &values);
// The set `name`; empty if missing.
QVariantList readSet(const QString &name);
// The names of all sets.
QStringList setKeys();

// "XYSensitive/<index>" of a profile, 4 when missing.
QVariant xySensitive(const QSettings *profile, const QString &index);
void setXYSensitive(QSettings *profile, const QString &index, const QVariant &value);
// "selectGun/<index>" of a profile, an empty string when missing.
QVariant selectGun(const QSettings *profile, const QString &index);
void setSelectGun(QSettings *profile, const QString &index, const QVariant &value);

} // namespace gunstore
