#include "filedialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// The first "*.ext" of a filter such as "Profile(*.pf)".
QString filterSuffix(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

QString runDialog(QWidget *over, QFileDialog::AcceptMode mode, const QString &caption,
                  const QString &dir, const QString &filter)
{
    QFileDialog dialog(nullptr, caption, dir, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // Also asks before replacing the file with the suffix added.
    dialog.setDefaultSuffix(filterSuffix(filter));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (over) {
        const QRect area = over->window()->frameGeometry();
        const QSize size = dialog.sizeHint();
        dialog.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString FileDialogs::openFileName(QWidget *parent, const QString &caption,
                                  const QString &dir, const QString &filter)
{
    return runDialog(parent, QFileDialog::AcceptOpen, caption, dir, filter);
}

QString FileDialogs::saveFileName(QWidget *parent, const QString &caption,
                                  const QString &dir, const QString &filter)
{
    return runDialog(parent, QFileDialog::AcceptSave, caption, dir, filter);
}

QString FileDialogs::startFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

QString FileDialogs::withSuffix(const QString &path, const QString &suffix)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + suffix;
}
