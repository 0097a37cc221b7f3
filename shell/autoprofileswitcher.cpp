#include "autoprofileswitcher.h"

#include "debugline.h"

#include <QCoreApplication>
#include <QFileInfo>

AutoProfileSwitcher::AutoProfileSwitcher(std::unique_ptr<ActiveWindowSource> windowSource, Scene sceneAccess,
                                         const QString &path)
    : source(std::move(windowSource)), scene(std::move(sceneAccess)), rulesPath(path)
{
    settleTimer.setSingleShot(true);
    settleTimer.setInterval(settleMs);
    connect(&settleTimer, &QTimer::timeout, this, &AutoProfileSwitcher::apply);
    retryTimer.setSingleShot(true);
    retryTimer.setInterval(retryMs);
    connect(&retryTimer, &QTimer::timeout, this, &AutoProfileSwitcher::apply);
    connect(source.get(), &ActiveWindowSource::activeWindowChanged, this, &AutoProfileSwitcher::frontChanged);
    // The rules may change in r770ctl or by hand: the window in front is
    // looked at again when they do.
    const QString folder = QFileInfo(rulesPath).absolutePath();
    if (QFileInfo(folder).isDir())
        folderWatch.addPath(folder);
    connect(&folderWatch, &QFileSystemWatcher::directoryChanged, this, [this] {
        const bool wasOn = isOn();
        const autoprofiles::Rules before = loaded.rules;
        rules();
        if (!(loaded.rules == before) || wasOn != isOn()) {
            emit statusChanged();
            frontChanged();
        }
    });
    rules();
}

const autoprofiles::Loaded &AutoProfileSwitcher::rules()
{
    const QFileInfo info(rulesPath);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime stamp = info.exists() ? info.lastModified() : QDateTime();
    if (size == loadedSize && stamp == loadedStamp)
        return loaded;
    loadedSize = size;
    loadedStamp = stamp;
    loaded = autoprofiles::load(rulesPath);
    if (loaded.state == autoprofiles::State::Damaged) {
        if (!reportedDamage) {
            debugLine("Automatic profiles off: " + rulesPath + ": " + loaded.why);
            reportedDamage = true;
            emit damagedRules(loaded.why);
        }
    } else {
        reportedDamage = false;
    }
    return loaded;
}

bool AutoProfileSwitcher::isOn()
{
    const autoprofiles::Loaded &now = rules();
    return now.state != autoprofiles::State::Damaged && now.rules.enabled;
}

QString AutoProfileSwitcher::notice()
{
    if (rules().state == autoprofiles::State::Damaged)
        return QStringLiteral("damaged:") + loaded.why;
    if (source->reach() == ActiveWindowSource::Reach::X11Only)
        return QStringLiteral("x11only");
    if (source->reach() == ActiveWindowSource::Reach::Nothing)
        return QStringLiteral("nothing");
    return QString();
}

void AutoProfileSwitcher::frontChanged()
{
    // A new front window: whatever was waiting gives way to it.
    retryTimer.stop();
    setWaiting(QString());
    target = -1;
    if (!isOn()) {
        settleTimer.stop();
        return;
    }
    const std::optional<autoprofiles::Window> front = source->active();
    // A window we cannot see (a Wayland one) tells nothing: no guessing.
    if (!front && source->reach() != ActiveWindowSource::Reach::All) {
        settleTimer.stop();
        return;
    }
    // Our own window in front (the user at the profile selector or in the
    // rules) leaves the profile to the user.
    if (front && front->pid == QCoreApplication::applicationPid()) {
        settleTimer.stop();
        return;
    }
    target = autoprofiles::slotFor(loaded.rules, front.value_or(autoprofiles::Window()));
    if (target < 0)
        settleTimer.stop();
    else
        settleTimer.start();
}

void AutoProfileSwitcher::deviceAccepted()
{
    frontChanged();
    if (target >= 0) {
        settleTimer.stop();
        // After the scene's start: queued behind its initialisation.
        QTimer::singleShot(0, this, &AutoProfileSwitcher::apply);
    }
}

void AutoProfileSwitcher::apply()
{
    // The switch lets events through while it sends: a change of the front
    // window meanwhile sets a new target, applied once this one ends.
    if (switching || target < 0 || !isOn())
        return;
    if (!scene.ready())
        return; // the next acceptance of the mouse applies it
    if (target == scene.current()) {
        setWaiting(QString());
        return;
    }
    const QString blocked = scene.blocked();
    if (!blocked.isEmpty()) {
        setWaiting(blocked);
        retryTimer.start();
        return;
    }
    setWaiting(QString());
    const int wanted = target;
    switching = true;
    const bool done = scene.switchTo(wanted);
    switching = false;
    if (!done)
        debugLine("Automatic profiles: profile", QString::number(wanted + 1), "not put in use");
    // The front window changed during the switch: its target follows.
    if (target != wanted && target >= 0 && !settleTimer.isActive())
        apply();
}

void AutoProfileSwitcher::setWaiting(const QString &reason)
{
    if (waiting == reason)
        return;
    waiting = reason;
    emit statusChanged();
}
