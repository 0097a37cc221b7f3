#pragma once

#include "hid_thread.h"
#include "hidowner.h"

#include <QList>
#include <QMutex>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class AutoProfileSwitcher;
class DeviceChangeSource;
namespace localchannel {
class InstanceLock;
}
class QAction;
class Ui_Controler;
class myQQuickView;
struct CopyData;

// True while discovery has a device accepted.
extern bool deviceConnected;

// The host window: frameless and transparent, its only content the scene
// view. Owns the device link, the discovery timer and the tray icon.
class Widget : public QWidget, public HidOwner
{
    Q_OBJECT

public:
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    QTimer checkTimer;
    Ui_Controler *uiControler = nullptr;
    Hid_Thread hidThread;
    QSystemTrayIcon *trayIcon = nullptr;

    void startScene();
    myQQuickView *view() const;

    // The lock of whoever talks to the mouse (see handover.h): discovery
    // waits while r770ctl holds it, and the program keeps it from its first
    // look for the mouse until it ends. Named after this executable.
    QString mouseLockName;
    // Whether the program holds the mouse and has looked for it at least
    // once: until then, requests handed over by r770ctl wait.
    bool hasLookedForMouse() const { return lookedForMouse; }
    bool isDiscovering() const { return discoveryRunning; }

    // Profiles that follow the application in front.
    AutoProfileSwitcher *autoProfiles() const { return autoSwitcher.get(); }
    // Names the profile in use and why automatic switching waits.
    Q_SLOT void updateToolTip();

    // Replaces the platform's device-change source (tests, the demo).
    void setDeviceChangeSource(std::unique_ptr<DeviceChangeSource> source);

    // Callbacks of the input hooks; context is the window.
    static void onHookKey(unsigned char usage, bool isDown, void *context);
    static void onHookMouse(unsigned code, bool isDown, int x, int y, void *context);
    static void onCopyData(const CopyData &data, void *context);

    // How a warning box is shown (tests replace it).
    static std::function<void(const QString &title, const QString &text)> showWarning;
    // Whether the desktop shows tray icons now (tests replace it). Without
    // a tray the window is the only way to reach the program.
    static std::function<bool()> systemTrayAvailable;

    // HidOwner
    void deviceStageChanged(int stage, const QString &trayText) override;
    void deviceRemoved() override;

    // The tray notice given the first time the window hides for want of a
    // mouse.
    static QString trayWaitText();

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    // Shows the window and brings it forward; without a mouse accepted it
    // shows the scene's "connect your R770" state.
    void showWindow();
    void checkDevice();
    void exitSYS();
    // The tray's Quit: ends the program, or shows the window where the
    // scene asks about unsaved edits first.
    void quitAsked();
    void receiveMessage(QString message);
    // A device was attached or removed somewhere.
    void deviceChangeNotice();

signals:
    // Every tray notice, also where no tray is available to show it.
    void trayNotice(const QString &title, const QString &text);

protected:
    void customEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    // Applies what the device watch reported, on the GUI thread.
    void handleDeviceEvents();
    // The tray menu's autostart entry was chosen.
    void setAutostart(bool enabled);
    // The tray menu's "Automatic profiles" entry was chosen.
    void setAutoProfiles(bool enabled);

private:
    // What the device watch reports, handed to the GUI thread under a lock.
    struct DeviceEvent
    {
        bool removed = false;
        int stage = 0;
        QString trayText;
    };
    void queueDeviceEvent(const DeviceEvent &event);

    void showTrayNotice(const QString &text);
    void showConnectState(bool shown);
    void connectDevice();
    void disconnectDevice();

    QAction *autostartAction = nullptr;
    bool toldAboutTray = false;
    QAction *autoProfilesAction = nullptr;
    std::unique_ptr<AutoProfileSwitcher> autoSwitcher;
    std::unique_ptr<DeviceChangeSource> deviceChanges;
    bool discoveryRunning = false;
    std::unique_ptr<localchannel::InstanceLock> mouseLock;
    QTimer mouseWait;
    bool waitingForMouse = false;
    bool lookedForMouse = false;
    // A device-change notice came while the watch still ran; if the watch
    // then finds the device gone, that notice was the unplug's own.
    bool noticeWhileWatching = false;
    QMutex deviceEventMutex;
    QList<DeviceEvent> pendingDeviceEvents;
};
