#pragma once

#include <QSettings>
#include <QVariant>

// How lists travel through the INI files. The stored format is the one the
// installed files and exchanged ".pf"/".mc" files use: a list of two or more
// values is one comma-separated entry, a one-element list is a plain value,
// an empty list is an invalid value. Qt 6 writes some of these differently
// by itself, so every list write and read goes through here.
namespace ini {

// A stored value as a list: a stored list gives its elements, anything else
// (a plain string, a number, a missing key) gives an empty list.
QVariantList toList(const QVariant &stored);

// The form in which a value is handed to QSettings::setValue so that the
// file holds the format above. Non-list values pass unchanged.
QVariant storable(const QVariant &value);

// setValue through storable().
void setValue(QSettings &settings, const QString &key, const QVariant &value);

// The format to open the file `path` with. Normally QSettings::IniFormat; a
// file larger than fileops::MaxIniFileBytes gets one that reads it as empty
// without loading it and refuses every write, so it is never overwritten.
QSettings::Format formatFor(const QString &path);

// Writes the pending changes and tells whether they reached the file: the
// file is read back from the disk and compared. A lock left by a dead
// process is taken over; a lock that cannot be had fails within seconds.
// On failure the file stays as it was, `why` says why, and the settings
// object drops the refused changes: it holds the file's values again.
bool flush(QSettings &settings, QString *why = nullptr);

// A long-lived settings object whose own deferred writes (QSettings writes
// pending changes from the event loop) go through flush() as well. Call
// flush() before destroying it: its destructor would write unchecked.
class CheckedSettings : public QSettings
{
public:
    explicit CheckedSettings(const QString &path) : QSettings(path, formatFor(path)) {}

    // Whether one of its own deferred writes failed since the last call
    // (the changes it dropped never reached the file); clears the mark.
    bool takeDeferredFailure()
    {
        const bool failed = deferredFailed;
        deferredFailed = false;
        return failed;
    }

protected:
    bool event(QEvent *event) override;

private:
    bool deferredFailed = false;
};

} // namespace ini
