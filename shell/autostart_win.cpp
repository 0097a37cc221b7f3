#include "autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace autostart {
namespace {

const char *const runKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char *const valueName = "R770";

QString command()
{
    return QLatin1Char('"') + QDir::toNativeSeparators(QCoreApplication::applicationFilePath())
           + QLatin1Char('"');
}

} // namespace

bool isEnabled()
{
    const QSettings run(QString::fromLatin1(runKey), QSettings::NativeFormat);
    return run.value(QLatin1String(valueName)).toString() == command();
}

bool setEnabled(bool enabled, QString *error)
{
    QSettings run(QString::fromLatin1(runKey), QSettings::NativeFormat);
    if (enabled)
        run.setValue(QLatin1String(valueName), command());
    else
        run.remove(QLatin1String(valueName));
    run.sync();
    if (run.status() == QSettings::NoError)
        return true;
    *error = QCoreApplication::translate("Autostart", "Cannot change the Run key");
    return false;
}

} // namespace autostart
