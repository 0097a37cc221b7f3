#pragma once

#include "autoprofiles.h"

#include <QList>
#include <QObject>
#include <memory>
#include <optional>

// The desktop's window in front, as far as the platform lets a program see
// it. Event-driven: activeWindowChanged() comes when the desktop reports a
// change, and nothing runs in between.
class ActiveWindowSource : public QObject
{
    Q_OBJECT

public:
    enum class Reach {
        All,      // every window of the desktop (X11)
        X11Only,  // a Wayland session: only its X11 windows are seen
        Nothing,  // nothing can be seen
    };
    virtual Reach reach() const = 0;
    // The window in front now; nothing when none is in front or it cannot
    // be seen (a Wayland window).
    virtual std::optional<autoprofiles::Window> active() = 0;
    // The applications with windows open now, one entry per program.
    virtual QList<autoprofiles::Window> openWindows() = 0;

signals:
    void activeWindowChanged();
};

// The platform's source; never null (without a desktop to watch, Reach::Nothing).
std::unique_ptr<ActiveWindowSource> createActiveWindowSource();
