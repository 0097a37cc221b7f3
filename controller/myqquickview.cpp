#include "myqquickview.h"

#include "configfile.h"
#include "debugline.h"
#include "filedialogs.h"
#include "fileops.h"
#include "hid_thread.h"
#include "inivalue.h"
#include "pointersettings.h"
#include "profilefiles.h"
#include "scenevalue.h"

#include <QFocusEvent>
#include <QMetaObject>
#include <QQuickItem>
#include <QSettings>
#include <QThread>

myQQuickView::myQQuickView(QWidget *parent)
    : QQuickWidget(parent)
    , fileDialogs(std::make_unique<FileDialogs>())
    , pointerSettings(createPointerSettings())
{
    // Files larger than any real one read as empty and are never rewritten.
    const auto open = [](const QString &path) { return new QSettings(path, ini::formatFor(path)); };
    globalSettings = open(configfile::path());
    factorySettings = open(profilefiles::factoryPath());
    for (int slot = 0; slot < profilefiles::SlotCount; ++slot)
        profileSettings.append(open(profilefiles::slotPath(slot)));
    currentProfile = 0;

    isColorful = getGlobalData(QStringLiteral("mouse/isColorful")).toBool();
    isGun = getGlobalData(QStringLiteral("mouse/isGun")).toBool();
    icType = getGlobalData(QStringLiteral("mouse/icType")).toString();
    is55328 = getGlobalData(QStringLiteral("mouse/is55328")).toBool();
}

myQQuickView::~myQQuickView()
{
    delete globalSettings;
    delete factorySettings;
    qDeleteAll(profileSettings);
}

void myQQuickView::setFileDialogs(std::unique_ptr<FileDialogs> dialogs)
{
    fileDialogs = std::move(dialogs);
}

void myQQuickView::setPointerSettings(std::unique_ptr<PointerSettings> settings)
{
    pointerSettings = std::move(settings);
}

void myQQuickView::callScene(const char *function, Qt::ConnectionType type,
                             const QVariantList &args)
{
    QQuickItem *root = rootObject();
    if (!root)
        return;
    // Scene functions take QVariant arguments; at most four are used.
    QGenericArgument a[4];
    for (int i = 0; i < args.size() && i < 4; ++i)
        a[i] = Q_ARG(QVariant, args.at(i));
    QMetaObject::invokeMethod(root, function, type, a[0], a[1], a[2], a[3]);
}

QSettings *myQQuickView::currentProfileSettings() const
{
    return profileSettings.value(currentProfile, nullptr);
}

void myQQuickView::keyboardNotify(bool isDown, unsigned char usbCode)
{
    callScene("detectKeyboard", Qt::QueuedConnection,
              {QVariant(isDown), QVariant(int(usbCode))});
}

void myQQuickView::mouseNotify(bool isDown, unsigned buttonCode, unsigned x, unsigned y)
{
    callScene("detectMouse", Qt::QueuedConnection,
              {QVariant(isDown), QVariant(buttonCode), QVariant(x), QVariant(y)});
}

void myQQuickView::focusInEvent(QFocusEvent *event)
{
    update();
    // The base passes focus on into the scene, so that a focused text field
    // takes keys without a click first.
    QQuickWidget::focusInEvent(event);
    event->accept();
}

void myQQuickView::clearHidBusy()
{
    if (hidLink)
        hidLink->hidReady = true;
}

void myQQuickView::initUI()
{
    callScene("initUI", Qt::QueuedConnection);
}

void myQQuickView::runUI()
{
    callScene("run", Qt::QueuedConnection);
}

void myQQuickView::resetApconfig()
{
    const QString path = globalSettings->fileName();
    const QString factory = configfile::factoryPath();
    // Without a usable factory copy there is nothing to reset to: keep the file.
    if (!fileops::isReadableFile(factory, fileops::MaxIniFileBytes)) {
        debugLine("resetApconfig Failed");
        return;
    }
    // Delete the old object now, not later: a deferred deletion would flush
    // its pending writes over the fresh copy.
    delete globalSettings;
    globalSettings = nullptr;
    // The copy is swapped in only once complete: a failed copy keeps the file.
    if (!fileops::replaceWithCopy(factory, path))
        debugLine("resetApconfig Failed");
    globalSettings = new QSettings(configfile::path(), ini::formatFor(configfile::path()));
}

void myQQuickView::setCurrentProfile(int profile)
{
    if (profile < 0 || profile >= profileSettings.size()) {
        debugLine("setCurrentProfile refused", profile);
        return;
    }
    currentProfile = profile;
}

void myQQuickView::openUpdateExe()
{
}

QVariant myQQuickView::getData(QVariant key, bool isRecovery)
{
    QSettings *settings = isRecovery ? factorySettings : currentProfileSettings();
    return settings->value(key.toString());
}

QVariant myQQuickView::getGlobalData(QVariant key)
{
    return globalSettings->value(key.toString());
}

QVariantList myQQuickView::getDataList(QVariant key, bool isRecovery)
{
    return ini::toList(getData(key, isRecovery));
}

void myQQuickView::setData(QVariant key, QVariant data)
{
    ini::setValue(*currentProfileSettings(), key.toString(), plainSceneValue(data));
}

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata)
{
    ini::setValue(*globalSettings, key.toString(), plainSceneValue(tmpdata));
}

void myQQuickView::setDataList(QVariant key, QVariantList datalist)
{
    ini::setValue(*currentProfileSettings(), key.toString(), QVariant(plainSceneList(datalist)));
}

void myQQuickView::setBusy(int busyTime)
{
    callScene("setProtectUI", Qt::DirectConnection, {QVariant(busyTime)});
}

void myQQuickView::setCurrentDPI(int dpiValue)
{
    // The device watch calls this from its pool thread: the scene must only
    // be touched on the GUI thread.
    const bool onGuiThread = QThread::currentThread() == thread();
    callScene("setCurrentDPI", onGuiThread ? Qt::DirectConnection : Qt::QueuedConnection,
              {QVariant(dpiValue)});
}
