#pragma once

#include <QList>
#include <QString>

class QSettings;

// The ten profile files and the factory profile, and the whole-file
// operations on them. `profiles` is the controller's list of ten long-lived
// settings objects, slot 0 on p1.bin up to slot 9 on p10.bin. Every
// operation returns false when it changed nothing.
namespace profilefiles {

constexpr int SlotCount = 10;
// Key assignments "mouseKeyMatrix/0" to "/15" (and firmware entries) per profile.
constexpr int KeyAssignmentCount = 16;

bool isValidSlot(int slot);
// "./modules/setting/p<slot + 1>.bin"; empty for a slot outside 0 to 9.
QString slotPath(int slot);
// "./modules/setting/pD.bin".
QString factoryPath();

// Writes slot `slot`'s file (with the slot's pending changes) to `target`,
// replacing `target` only once the copy is complete.
bool exportSlot(const QList<QSettings *> &profiles, int slot, const QString &target);

// Replaces the content of slot `slot` by a copy of `source` and gives the
// slot a fresh settings object on its file. When the copy fails the slot
// keeps its old content; a source that is not a file of at most
// fileops::MaxIniFileBytes is refused. Choosing the slot's own file leaves
// it as it is.
bool replaceSlot(QList<QSettings *> &profiles, int slot, const QString &source);

// replaceSlot from the factory profile.
bool resetSlot(QList<QSettings *> &profiles, int slot);

// replaceSlot of `dest` from slot `src`'s file; refused for equal slots.
bool copySlot(QList<QSettings *> &profiles, int dest, int src);

} // namespace profilefiles
