#include "widget.h"

#include "activewindow.h"
#include "autoprofileswitcher.h"
#include "autostart.h"
#include "copydata.h"
#include "ctl.h"
#include "debugline.h"
#include "devicechangesource.h"
#include "discovery.h"
#include "handover.h"
#include "inputhook.h"
#include "localchannel.h"
#include "myqquickview.h"
#include "requesthost.h"
#include "ui_controler.h"
#include "userevent.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QQmlProperty>
#include <QQuickItem>

bool deviceConnected = false;

namespace {
const char *const trayMenuStyle =
    "QMenu { border: 1px solid rgb(100, 100, 100); background: rgb(68, 69, 73); } "
    "QMenu::item { height: 22px; padding: 0px 25px 0px 20px; } "
    "QMenu::item:enabled { color: rgb(225, 225, 225); } "
    "QMenu::item:!enabled { color: rgb(155, 155, 155); } "
    "QMenu::item:enabled:selected { color: rgb(230, 230, 230); background: rgba(255, 255, 255, 40); } "
    "QMenu::separator { height: 1px; background: rgb(100, 100, 100); } "
    "QMenu::indicator { width: 13px; height: 13px; } "
    "QMenu::icon { padding-left: 2px; padding-right: 2px; } ";
constexpr int discoveryDelayMs = 2048;
// How often discovery asks again while r770ctl holds the mouse.
constexpr int mouseWaitMs = 200;
constexpr int trayNoticeMs = 10000;
} // namespace

std::function<void(const QString &, const QString &)> Widget::showWarning =
    [](const QString &title, const QString &text) {
        QMessageBox::warning(nullptr, title, text, QMessageBox::Ok, QMessageBox::NoButton);
    };

std::function<bool()> Widget::systemTrayAvailable = [] {
    return QSystemTrayIcon::isSystemTrayAvailable();
};

Widget::Widget(QWidget *parent)
    : QWidget(parent)
{
    hidThread.owner = this;

    uiControler = new Ui_Controler();
    uiControler->setupView(this);
    view()->setHidLink(&hidThread);

    checkTimer.setInterval(discoveryDelayMs);
    checkTimer.setSingleShot(true);
    connect(&checkTimer, &QTimer::timeout, this, &Widget::checkDevice);
    mouseLockName = handover::mouseLockName(QCoreApplication::applicationFilePath());
    mouseWait.setInterval(mouseWaitMs);
    mouseWait.setSingleShot(true);
    connect(&mouseWait, &QTimer::timeout, this, &Widget::checkDevice);

    trayIcon = new QSystemTrayIcon(this);
    auto *showAction = new QAction(tr("Show Window (&W)"), this);
    connect(showAction, &QAction::triggered, this, &Widget::showWindow);
    auto *quitAction = new QAction(tr("Quit (&Q)"), this);
    connect(quitAction, &QAction::triggered, this, &Widget::quitAsked);
    autostartAction = new QAction(tr("Start at Login (&S)"), this);
    autostartAction->setCheckable(true);
    autostartAction->setChecked(autostart::isEnabled());
    connect(autostartAction, &QAction::triggered, this, &Widget::setAutostart);
    autoProfilesAction = new QAction(tr("Automatic profiles"), this);
    autoProfilesAction->setCheckable(true);
    connect(autoProfilesAction, &QAction::triggered, this, &Widget::setAutoProfiles);
    // The same report as "r770ctl report", made with the window's own link.
    auto *reportAction = new QAction(tr("Save a diagnostic report…"), this);
    connect(reportAction, &QAction::triggered, this, [this] {
        const QString file = QFileDialog::getSaveFileName(
            nullptr, tr("Save a diagnostic report…"),
            QDir::homePath() + QDateTime::currentDateTime().toString(QStringLiteral("'/r770-report-'yyyyMMdd-HHmmss'.txt'")),
            tr("Text files (*.txt)"));
        if (file.isEmpty())
            return;
        if (!hidThread.hidReady) {
            showWarning(windowTitle(), tr("The mouse is busy; try again in a moment."));
            return;
        }
        RequestHost host(*this);
        const ctl::Reply reply = ctl::perform({QStringLiteral("report"), file}, host);
        if (reply.ok())
            trayIcon->showMessage(QStringLiteral("Info"), reply.out.trimmed(), QSystemTrayIcon::Information, trayNoticeMs);
        else
            showWarning(windowTitle(), reply.err);
    });
    auto *menu = new QMenu(this);
    menu->addAction(showAction);
    menu->addAction(autostartAction);
    menu->addAction(autoProfilesAction);
    menu->addAction(reportAction);
    menu->addAction(quitAction);
    // The entry may have been changed by the desktop's own settings.
    connect(menu, &QMenu::aboutToShow, autostartAction, [this] {
        autostartAction->setChecked(autostart::isEnabled());
        autoProfilesAction->setChecked(autoSwitcher->isOn());
    });
    menu->setStyleSheet(QString::fromLatin1(trayMenuStyle));
    trayIcon->setContextMenu(menu);
    trayIcon->setToolTip(QStringLiteral("BRAXTEL SOLVAR MOUSE R770"));
    trayIcon->setIcon(QIcon(QStringLiteral("./modules/img/logo.ico")));
    connect(trayIcon, &QSystemTrayIcon::activated, this, &Widget::trayIconActivated);
    connect(trayIcon, &QSystemTrayIcon::messageClicked, this, &Widget::showWindow);
    trayIcon->setVisible(true);

    setDeviceChangeSource(createDeviceChangeSource());

    AutoProfileSwitcher::Scene scene;
    scene.ready = [this] {
        QQuickItem *root = view()->rootObject();
        return deviceConnected && root && root->property("isPownOn").toBool();
    };
    scene.blocked = [this] { return myQQuickView::outsideChangeName(view()->outsideChange()); };
    scene.current = [this] {
        QQuickItem *root = view()->rootObject();
        return root ? root->property("profileInUse").toInt() : -1;
    };
    scene.switchTo = [this](int slot) {
        bool done = false;
        if (QQuickItem *root = view()->rootObject())
            QMetaObject::invokeMethod(root, "autoSwitchProfile", Q_RETURN_ARG(bool, done), Q_ARG(QVariant, QVariant(slot)));
        return done;
    };
    autoSwitcher = std::make_unique<AutoProfileSwitcher>(createActiveWindowSource(), scene);
    autoProfilesAction->setChecked(autoSwitcher->isOn());
    connect(autoSwitcher.get(), &AutoProfileSwitcher::statusChanged, this, &Widget::updateToolTip);
    connect(autoSwitcher.get(), &AutoProfileSwitcher::damagedRules, this, [this](const QString &why) {
        showTrayNotice(QStringLiteral("Automatic profiles are off: %1 cannot be read (%2). Changing a rule starts it anew.")
                           .arg(autoSwitcher->path(), why));
    });
    if (QQuickItem *root = view()->rootObject()) {
        QQmlProperty inUse(root, QStringLiteral("profileInUseName"));
        if (inUse.isValid())
            inUse.connectNotifySignal(this, SLOT(updateToolTip()));
    }
    updateToolTip();
}

void Widget::updateToolTip()
{
    QString text = QStringLiteral("BRAXTEL SOLVAR MOUSE R770");
    QQuickItem *root = view() ? view()->rootObject() : nullptr;
    const QString name = root ? root->property("profileInUseName").toString() : QString();
    if (!name.isEmpty() && deviceConnected)
        text += QStringLiteral("\nProfile: ") + name;
    const QString waiting = autoSwitcher ? autoSwitcher->waitReason() : QString();
    if (waiting == QLatin1String("unsaved"))
        text += QStringLiteral("\nAutomatic profiles wait: the window has unsaved changes");
    else if (waiting == QLatin1String("dialog"))
        text += QStringLiteral("\nAutomatic profiles wait: the window has a dialog open");
    trayIcon->setToolTip(text);
}

void Widget::setAutoProfiles(bool enabled)
{
    QString why;
    if (autoSwitcher->rules().state == autoprofiles::State::Damaged)
        why = QStringLiteral("%1 cannot be read (%2); change a rule in Config to start it anew")
                  .arg(autoSwitcher->path(), autoSwitcher->rules().why);
    else
        autoprofiles::change(autoSwitcher->path(), view()->currentProfile, [enabled](autoprofiles::Rules &rules, QString *) {
            rules.enabled = enabled;
            return true;
        }, &why);
    if (!why.isEmpty())
        showTrayNotice(QStringLiteral("Automatic profiles: ") + why);
    autoProfilesAction->setChecked(autoSwitcher->isOn());
}

Widget::~Widget()
{
    hidThread.stopDeviceWatch();
    // The watch task runs on the link: let it end before the link goes.
    hidThread.joinDeviceWatch();
    uiControler->deleteLater();
}

myQQuickView *Widget::view() const
{
    return uiControler ? uiControler->view : nullptr;
}

void Widget::setDeviceChangeSource(std::unique_ptr<DeviceChangeSource> source)
{
    deviceChanges = std::move(source);
    if (deviceChanges)
        connect(deviceChanges.get(), &DeviceChangeSource::deviceChanged, this,
                &Widget::deviceChangeNotice, Qt::QueuedConnection);
}

void Widget::deviceChangeNotice()
{
    // While the watch runs the device is known to be there.
    if (!hidThread.watchRunning)
        checkTimer.start();
    else
        noticeWhileWatching = true;
}

void Widget::startScene()
{
    view()->initUI();
    QCoreApplication::postEvent(this, new UserEvent(UserEvent::RunCode));
}

void Widget::customEvent(QEvent *event)
{
    if (event->type() == UserEvent::Type) {
        if (static_cast<UserEvent *>(event)->eventCode == UserEvent::RunCode)
            view()->runUI();
    } else if (event->type() == RestoreEvent::Type) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        setVisible(true);
        raise();
        activateWindow();
    }
}

void Widget::closeEvent(QCloseEvent *event)
{
    // Without a tray, a hidden window could never be brought back: closing
    // ends the program, after the question about unsaved edits.
    if (!systemTrayAvailable()) {
        if (!view()->mayQuit()) {
            event->ignore();
            return;
        }
        exitSYS();
    }
    QWidget::closeEvent(event);
}

QString Widget::trayWaitText()
{
    return tr("No R770 is connected. The program waits in the tray for the mouse: "
              "click the icon to open the window.");
}

void Widget::showWindow()
{
    // Before the first look for the mouse the scene knows nothing to show.
    if (!deviceConnected && lookedForMouse)
        showConnectState(true);
    QCoreApplication::postEvent(this, new RestoreEvent);
}

void Widget::trayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        showWindow();
}

void Widget::receiveMessage(QString)
{
    showWindow();
}

void Widget::showConnectState(bool shown)
{
    view()->showConnectState(shown);
    // The title bar's buttons stay usable; the scene covers the pages.
    if (shown)
        view()->setEnabled(true);
}

void Widget::exitSYS()
{
    hidThread.stopDeviceWatch();
    QCoreApplication::exit(0);
}

void Widget::quitAsked()
{
    if (view()->mayQuit())
        exitSYS();
    else
        showWindow();
}

void Widget::setAutostart(bool enabled)
{
    QString error;
    if (!autostart::setEnabled(enabled, &error))
        showTrayNotice(error);
    autostartAction->setChecked(autostart::isEnabled());
}

void Widget::showTrayNotice(const QString &text)
{
    const QString title = QStringLiteral("Info");
    trayIcon->showMessage(title, text, QSystemTrayIcon::Information, trayNoticeMs);
    emit trayNotice(title, text);
}

void Widget::checkDevice()
{
    // The handshake processes events while it waits; a timer that fires
    // meanwhile must not start a second, nested run.
    if (discoveryRunning) {
        checkTimer.start();
        return;
    }
    // r770ctl may be talking to the mouse: discovery waits until it is done.
    if (!mouseLock)
        mouseLock = std::make_unique<localchannel::InstanceLock>(mouseLockName);
    if (mouseLock->tryLock() == localchannel::InstanceLock::State::HeldElsewhere) {
        if (!waitingForMouse)
            debugLine("Device: waiting for r770ctl to finish with the mouse");
        waitingForMouse = true;
        mouseWait.start();
        return;
    }
    waitingForMouse = false;
    discoveryRunning = true;

    const discovery::Outcome found = discovery::acceptFirst(hidThread, discovery::findDevices());
    const Handshake result = found.result;
    // A failed exchange is not a wrong code: say what failed.
    for (const QString &failure : found.failures)
        debugLine("Device: handshake not completed:", failure);
    if (result == Handshake::Accepted)
        connectDevice();
    else if (result == Handshake::LinkBusy)
        checkTimer.start(); // nothing was learnt: ask again later
    else
        disconnectDevice();
    discoveryRunning = false;
    lookedForMouse = true;
}

void Widget::connectDevice()
{
    debugLine("Device Connect");
    myQQuickView *controller = view();
    controller->clearHidBusy();
    deviceConnected = true;
    showTrayNotice(QStringLiteral("Detect Device"));
    showConnectState(false);
    // Without a tray nothing else would show that the mouse is ready.
    if (!systemTrayAvailable())
        QCoreApplication::postEvent(this, new RestoreEvent);
    noticeWhileWatching = false;
    hidThread.startDeviceWatch(uint(hidThread.currentIndex));
    controller->readDeviceProfiles();
    controller->setEnabled(true);
    startScene();
    updateToolTip();
    autoSwitcher->deviceAccepted();
}

void Widget::disconnectDevice()
{
    debugLine("Device DisConnect");
    deviceConnected = false;
    showConnectState(true);
    // Without a tray the window is the only way to the program: it stays
    // as it is, showing what to connect (or hidden until the mouse first
    // arrives after a start at login).
    if (!systemTrayAvailable())
        return;
    if (isVisible() && !toldAboutTray) {
        toldAboutTray = true;
        showTrayNotice(trayWaitText());
    }
    setVisible(false);
    updateToolTip();
}

void Widget::deviceStageChanged(int stage, const QString &trayText)
{
    queueDeviceEvent({false, stage, trayText});
}

void Widget::deviceRemoved()
{
    queueDeviceEvent({true, 0, QString()});
}

void Widget::queueDeviceEvent(const DeviceEvent &event)
{
    // Called on the watch thread: the event is handed over under the lock
    // and applied on the GUI thread.
    {
        QMutexLocker lock(&deviceEventMutex);
        pendingDeviceEvents.append(event);
    }
    QMetaObject::invokeMethod(this, "handleDeviceEvents", Qt::QueuedConnection);
}

void Widget::handleDeviceEvents()
{
    QList<DeviceEvent> events;
    {
        QMutexLocker lock(&deviceEventMutex);
        events.swap(pendingDeviceEvents);
    }
    for (const DeviceEvent &event : events) {
        if (!event.removed) {
            view()->setCurrentDPI(event.stage);
            showTrayNotice(event.trayText);
            continue;
        }
        view()->setEnabled(false);
        // The unplug's notice can beat the watch to it and be ignored; it
        // must still lead to a discovery run.
        if (noticeWhileWatching) {
            noticeWhileWatching = false;
            checkTimer.start();
        }
    }
}

void Widget::onHookKey(unsigned char usage, bool isDown, void *context)
{
    if (auto *window = static_cast<Widget *>(context))
        window->view()->keyboardNotify(isDown, usage);
}

void Widget::onHookMouse(unsigned code, bool isDown, int x, int y, void *context)
{
    if (auto *window = static_cast<Widget *>(context))
        window->view()->mouseNotify(isDown, code, unsigned(x), unsigned(y));
}

void Widget::onCopyData(const CopyData &data, void *context)
{
    auto *window = static_cast<Widget *>(context);
    if (!window)
        return;
    if (const std::optional<QString> text = copydata::warningText(data))
        showWarning(window->windowTitle(), *text);
}
