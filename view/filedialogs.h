#pragma once

#include <QString>

class QWidget;

// The file dialogs of the import and export operations, behind a seam so
// that tests can answer them without a dialog on screen.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // Both return the chosen path, or an empty string when cancelled. The
    // dialogs open over `parent`'s window but are not its children: the
    // host window's transparent style sheet would reach them and make them
    // unreadable. They are the desktop's own where it has them.
    virtual QString openFileName(QWidget *parent, const QString &caption,
                                 const QString &dir, const QString &filter);
    virtual QString saveFileName(QWidget *parent, const QString &caption,
                                 const QString &dir, const QString &filter);

    // Where the dialogs start: the user's documents folder, or home.
    static QString startFolder();
    // `path` with ".suffix" added when its file name has no extension.
    static QString withSuffix(const QString &path, const QString &suffix);
};
