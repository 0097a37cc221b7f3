#pragma once

#include <QString>

class QWidget;

// The file dialogs of the import and export operations, behind a seam so
// that tests can answer them without a dialog on screen.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // Both return the chosen path, or an empty string when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption,
                                 const QString &dir, const QString &filter);
    virtual QString saveFileName(QWidget *parent, const QString &caption,
                                 const QString &dir, const QString &filter);
};
