#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Helpers of the persistence tests.
namespace filetest {

QByteArray contents(const QString &path);
bool writeFile(const QString &path, const QByteArray &data);
// A file of `size` random bytes (fixed seed), to be read as INI.
QByteArray noise(int size);
// Runs what the event loop would run later, deferred deletions included.
void drainEvents();

// One INI key as a separate process reads it, so that the result comes from
// the file and not from the QSettings cache this process shares.
struct Fresh
{
    enum Kind { Missing, Text, List, Failed } kind = Failed;
    QString text;       // Text
    QStringList items;  // List
};
Fresh freshRead(const QString &file, const QString &key);

// Called first thing in main(): when started as a reader, prints the value,
// sets exitCode and returns true.
bool handleFreshRead(int argc, char **argv, int *exitCode);

} // namespace filetest
