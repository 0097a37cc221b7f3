#pragma once

#include "activewindow.h"
#include "autoprofiles.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

// Puts the profile tied to the application in front in use, through the
// scene's own profile switch. A window must stay in front settleMs before
// its profile goes in use; one switch runs at a time and only the latest
// target follows; nothing is switched while the scene holds unsaved edits or
// a dialog with a choice (it waits and says why).
class AutoProfileSwitcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int settleMs = 500;
    // How often a blocked switch asks the scene again.
    static constexpr int retryMs = 1000;

    // What the switcher needs of the window: whether a mouse is accepted,
    // the scene's word on outside changes ("busy", "unsaved", "dialog" or
    // ""), the profile in use, and the switch itself (false: not done).
    struct Scene
    {
        std::function<bool()> ready;
        std::function<QString()> blocked;
        std::function<int()> current;
        std::function<bool(int)> switchTo;
    };

    AutoProfileSwitcher(std::unique_ptr<ActiveWindowSource> source, Scene scene,
                        const QString &path = autoprofiles::defaultPath());

    ActiveWindowSource &windows() { return *source; }
    const QString &path() const { return rulesPath; }
    // The rules as the file holds them now.
    const autoprofiles::Loaded &rules();
    bool isOn();
    // Why switching waits, "" when it does not.
    QString waitReason() const { return waiting; }
    // What the profile manager says once: a damaged file, or a desktop
    // whose own windows cannot be seen.
    QString notice();

    // The mouse was accepted (again): its profile follows the window in
    // front, without the settle time (the window has not changed).
    void deviceAccepted();

signals:
    // The wait reason or the rules' state changed.
    void statusChanged();
    // A damaged rules file was found (once per damage).
    void damagedRules(const QString &why);

private:
    void frontChanged();
    void apply();
    void setWaiting(const QString &reason);

    std::unique_ptr<ActiveWindowSource> source;
    Scene scene;
    QString rulesPath;
    autoprofiles::Loaded loaded;
    QDateTime loadedStamp;
    qint64 loadedSize = -2;
    bool reportedDamage = false;
    QFileSystemWatcher folderWatch;
    QTimer settleTimer;
    QTimer retryTimer;
    int target = -1;
    bool switching = false;
    QString waiting;
};
