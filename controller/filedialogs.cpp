#include "filedialogs.h"

#include <QFileDialog>

QString FileDialogs::openFileName(QWidget *parent, const QString &caption,
                                  const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString FileDialogs::saveFileName(QWidget *parent, const QString &caption,
                                  const QString &dir, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}
