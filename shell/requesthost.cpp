#include "requesthost.h"

#include "ctl.h"
#include "myqquickview.h"
#include "widget.h"

#include <QQuickItem>
#include <QThread>

std::optional<ctl::Reply> RequestHost::take(const QStringList &arguments)
{
    // Never in the middle of other work that lets events through (a device
    // exchange, whose frames the request's would split, or a modal dialog),
    // during discovery, or before the program has looked for the mouse.
    if (QThread::currentThread()->loopLevel() > 1 || !window.hidThread.hidReady || window.isDiscovering()
        || !window.hasLookedForMouse() || window.view()->outsideChange() == myQQuickView::OutsideChange::Busy)
        return std::nullopt;
    return ctl::perform(arguments, *this);
}

ControllerCore &RequestHost::controller()
{
    return *window.view();
}

Hid_Thread *RequestHost::link()
{
    return deviceConnected ? &window.hidThread : nullptr;
}

DeviceEntry RequestHost::entry()
{
    return window.hidThread.deviceEntry(window.hidThread.currentIndex);
}

QString RequestHost::refusal()
{
    const auto state = window.view()->outsideChange();
    if (state == myQQuickView::OutsideChange::Unsaved)
        return QStringLiteral("the r770 window has unsaved changes; save them there (or undo them), then try again");
    if (state == myQQuickView::OutsideChange::Dialog)
        return QStringLiteral("the r770 window has a dialog open; finish it there, then try again");
    return QString();
}

void RequestHost::show(const QStringList &pages, int activeStage)
{
    if (activeStage > 0)
        window.view()->setCurrentDPI(activeStage);
    QQuickItem *root = window.view()->rootObject();
    if (root && !pages.isEmpty())
        QMetaObject::invokeMethod(root, "showOutsideChanges", Q_ARG(QVariant, QVariant(pages)));
}
