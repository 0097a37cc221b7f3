#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private copy of the shipped runtime folder ("modules/setting", "macro",
// "gun", "i18n") in a temporary directory, made the current directory for
// the test's lifetime, so that "./modules/..." paths resolve to it and the
// test may change files freely.
class TestModules
{
public:
    TestModules();
    ~TestModules();

    bool isValid() const { return ok; }
    QString root() const { return dir.path(); }
    // Absolute path of a file below the copy, e.g. path("setting/p1.bin").
    QString path(const QString &relative) const;

    // The shipped source folder (read-only).
    static QString sourceModules();

private:
    QTemporaryDir dir;
    QString previousCurrent;
    bool ok = false;
};

// A macro's steps longer than the mouse takes: 300 steps, 100 actions (one
// press and release of A around 200 one-millisecond delays, then 49 presses
// of B); its first 256 steps alone would fit.
QStringList longMacroSteps();
