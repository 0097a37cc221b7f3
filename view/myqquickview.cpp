#include "myqquickview.h"

#include "filedialogs.h"
#include "macrolibrary.h"
#include "profilefiles.h"

#include <QFocusEvent>
#include <QMetaObject>
#include <QQmlEngine>
#include <QQuickItem>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

myQQuickView::myQQuickView(QWidget *parent)
    : QQuickWidget(parent)
    , fileDialogs(std::make_unique<FileDialogs>())
{
    // The scene's QML module lives at "qrc:/modules/qml".
    engine()->addImportPath(QStringLiteral("qrc:/"));
}

myQQuickView::~myQQuickView()
{
    // The core goes before the widget base: the scene, which may still call
    // the controller while it is torn down, goes first.
    setSource(QUrl());
}

void myQQuickView::setFileDialogs(std::unique_ptr<FileDialogs> dialogs)
{
    fileDialogs = std::move(dialogs);
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

void myQQuickView::showConnectState(bool shown)
{
    callScene("showConnectState", Qt::DirectConnection, {QVariant(shown)});
}

bool myQQuickView::mayQuit()
{
    QQuickItem *root = rootObject();
    QVariant answer = true;
    if (root && root->metaObject()->indexOfMethod("requestQuit()") >= 0)
        QMetaObject::invokeMethod(root, "requestQuit", Qt::DirectConnection, Q_RETURN_ARG(QVariant, answer));
    return answer.toBool();
}

myQQuickView::OutsideChange myQQuickView::outsideChange()
{
    QQuickItem *root = rootObject();
    int state = int(OutsideChange::Allowed);
    if (root)
        QMetaObject::invokeMethod(root, "outsideChangeBlocked", Qt::DirectConnection, Q_RETURN_ARG(int, state));
    return OutsideChange(state);
}

QString myQQuickView::outsideChangeName(OutsideChange state)
{
    switch (state) {
    case OutsideChange::Busy: return QStringLiteral("busy");
    case OutsideChange::Unsaved: return QStringLiteral("unsaved");
    case OutsideChange::Dialog: return QStringLiteral("dialog");
    case OutsideChange::Allowed: break;
    }
    return QString();
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

void myQQuickView::changeEvent(QEvent *event)
{
    QQuickWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        emit inputEnabledChanged();
}

void myQQuickView::initUI()
{
    callScene("initUI", Qt::QueuedConnection);
}

void myQQuickView::runUI()
{
    callScene("run", Qt::QueuedConnection);
}

// The import and export operations: the dialog here, the file work in the
// core. Values that could not be used are refused before a dialog opens.

bool myQQuickView::loadMacroFile(QVariant macroFileName)
{
    const QString name = macroFileName.toString();
    if (!macrolibrary::isValidName(name))
        return false;
    const QString chosen = fileDialogs->openFileName(this, tr("Open File"), FileDialogs::startFolder(),
                                                     tr("Macro(*.mc)"));
    if (chosen.isEmpty())
        return false;
    const bool ok = importMacroFile(name, chosen);
    emit fileDone(QStringLiteral("importMacro"), name, ok, chosen);
    return ok;
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    const QString name = macroFileName.toString();
    if (!macrolibrary::exists(name))
        return;
    const QString chosen = FileDialogs::withSuffix(
        fileDialogs->saveFileName(this, tr("Save File"), FileDialogs::startFolder(), tr("Macro(*.mc)")),
        QStringLiteral("mc"));
    if (!chosen.isEmpty())
        emit fileDone(QStringLiteral("exportMacro"), name, exportMacroFile(name, chosen), chosen);
}

bool myQQuickView::loadProfile(int profile)
{
    if (!profilefiles::isValidSlot(profile))
        return false;
    const QString chosen = fileDialogs->openFileName(this, tr("Open File"), FileDialogs::startFolder(),
                                                     tr("Profile(*.pf)"));
    if (chosen.isEmpty())
        return false;
    const bool ok = importProfile(profile, chosen);
    emit fileDone(QStringLiteral("importProfile"), profile, ok, chosen);
    return ok;
}

void myQQuickView::saveProfile(int profile)
{
    if (!profilefiles::isValidSlot(profile))
        return;
    const QString chosen = FileDialogs::withSuffix(
        fileDialogs->saveFileName(this, tr("Save File"), FileDialogs::startFolder(), tr("Profile(*.pf)")),
        QStringLiteral("pf"));
    if (!chosen.isEmpty())
        emit fileDone(QStringLiteral("exportProfile"), profile, exportProfile(profile, chosen), chosen);
}

void myQQuickView::mouseSendGundata(int mode, QVariantList data)
{
    ControllerCore::mouseSendGundata(mode, plainSceneList(data));
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool isRecovery)
{
    return ControllerCore::mouseGetKeydefine(index.toString(), isRecovery);
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
