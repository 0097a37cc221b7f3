#pragma once

#include <QString>
#include <QStringList>

// Reads one INI key in a separate process, so that the result comes from
// the file and not from the QSettings cache this process shares.
// A test executable calls FreshRead::handle() first thing in main(); when
// started as a reader it prints the value and returns the exit code.
namespace FreshRead {

struct Value
{
    enum Kind { Missing, Text, List, Failed } kind = Failed;
    QString text;       // Text
    QStringList items;  // List
};

// The value of `key` in the INI file `file` as a fresh QSettings reads it.
Value read(const QString &file, const QString &key);

// When argv asks for a read: performs it and sets exitCode; returns true.
bool handle(int argc, char **argv, int *exitCode);

} // namespace FreshRead
