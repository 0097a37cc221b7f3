#include "profilefiles.h"

#include "fileops.h"
#include "inivalue.h"

#include <QSettings>

namespace profilefiles {

namespace {
const char *const factoryFile = "./modules/setting/pD.bin";

bool hasSlot(const QList<QSettings *> &profiles, int slot)
{
    return isValidSlot(slot) && slot < profiles.size();
}

// Writes a slot's pending changes so that a copy of its file holds them.
// A refused write leaves the slot on its stored values, which the copy then
// carries.
void flush(const QList<QSettings *> &profiles, int slot)
{
    if (hasSlot(profiles, slot) && profiles.at(slot))
        ini::flush(*profiles.at(slot));
}
} // namespace

bool isValidSlot(int slot)
{
    return slot >= 0 && slot < SlotCount;
}

QString slotPath(int slot)
{
    return isValidSlot(slot) ? QStringLiteral("./modules/setting/p%1.bin").arg(slot + 1) : QString();
}

QString factoryPath()
{
    return QString::fromLatin1(factoryFile);
}

bool exportSlot(const QList<QSettings *> &profiles, int slot, const QString &target)
{
    if (!isValidSlot(slot) || target.isEmpty())
        return false;
    flush(profiles, slot);
    return fileops::replaceWithCopy(slotPath(slot), target);
}

bool replaceSlot(QList<QSettings *> &profiles, int slot, const QString &source)
{
    if (!hasSlot(profiles, slot) || source.isEmpty())
        return false;
    QSettings *old = profiles.at(slot);
    const QString path = old ? old->fileName() : slotPath(slot);
    if (fileops::isSameFile(source, path))
        return true;
    // A profile is a few kilobytes; a huge file is refused rather than
    // loaded whole by the slot's settings object.
    if (!fileops::isReadableFile(source, fileops::MaxIniFileBytes))
        return false;

    // Write the old object's pending changes (checked) and destroy it now,
    // with nothing left for its destructor to write: a deferred deletion
    // would write them into the new content later. When they cannot be
    // written, neither can the copy: the slot stays as it is.
    if (old && !ini::flush(*old))
        return false;
    delete old;
    profiles[slot] = nullptr;
    const bool copied = fileops::replaceWithCopy(source, path, true);
    profiles[slot] = new ini::CheckedSettings(path);
    return copied;
}

bool resetSlot(QList<QSettings *> &profiles, int slot)
{
    return replaceSlot(profiles, slot, factoryPath());
}

bool copySlot(QList<QSettings *> &profiles, int dest, int src)
{
    if (dest == src || !hasSlot(profiles, dest) || !hasSlot(profiles, src) || !profiles.at(src))
        return false;
    flush(profiles, src);
    return replaceSlot(profiles, dest, profiles.at(src)->fileName());
}

} // namespace profilefiles
