#pragma once

#include <QString>

// Why a file cannot be used, in words a user can act on. Each returns an
// empty string when nothing stands in the way.
namespace fileproblems {

// A file to read: present, a regular file, readable, at most maxBytes.
QString whyNotReadable(const QString &path, qint64 maxBytes);
// A file to create or replace: its folder exists and is writable, and an
// existing file there is a regular, writable one.
QString whyNotWritable(const QString &path);

// The path as messages show it: absolute.
QString shown(const QString &path);

// "path: why" with the path made absolute.
QString describe(const QString &path, const QString &why);

} // namespace fileproblems
