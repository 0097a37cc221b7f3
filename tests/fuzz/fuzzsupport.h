#pragma once

// Shared pieces of the fuzz targets: a check that stops the run, and a
// private runtime folder for the targets whose readers take their files from
// "./modules/...".

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <cstddef>
#include <cstdint>

// A property the target guarantees; a breach ends the run like a crash, so
// the fuzzer keeps the input as a reproducer.
#define FUZZ_CHECK(cond) ((cond) ? (void)0 : fuzz::failed(#cond, __FILE__, __LINE__))

namespace fuzz {

[[noreturn]] void failed(const char *what, const char *file, int line);

// Makes a temporary folder with modules/setting, macro, gun and i18n the
// current directory (once per process), with a QCoreApplication for the code
// that processes events. Returns the folder.
QString runtimeFolder();

// Writes an input as the file at `path` (relative to the runtime folder) and
// gives it a modification time no earlier write had, so that the settings
// cache, which knows a file by size and time, always reads it anew.
void writeInput(const QString &path, const uint8_t *data, size_t size);
QByteArray fileBytes(const QString &path);

// A read list as its texts, for comparing what was read with what was written.
QStringList texts(const QVariantList &list);

} // namespace fuzz
