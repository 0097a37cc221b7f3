#include "windowinputtap.h"

#include "hooklogic.h"
#include "inputhook.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// The Windows mouse message the hook takes for a button change, 0 for the
// buttons it does not report.
unsigned mouseMessageFor(Qt::MouseButton button, bool isDown)
{
    using namespace hooklogic;
    switch (button) {
    case Qt::LeftButton: return isDown ? WmLButtonDown : WmLButtonUp;
    case Qt::RightButton: return isDown ? WmRButtonDown : WmRButtonUp;
    case Qt::MiddleButton: return isDown ? WmMButtonDown : WmMButtonUp;
    default: return 0;
    }
}

} // namespace

WindowInputTap::WindowInputTap(InputHook &inputHook, QObject *window) : hook(inputHook)
{
    window->installEventFilter(this);
}

bool WindowInputTap::eventFilter(QObject *watched, QEvent *event)
{
    if (!hook.ownWindowEventsNeeded())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Auto-repeat comes as release and press pairs on some platforms;
        // the key is held throughout.
        if (!key->isAutoRepeat())
            hook.handleWindowKey(key->nativeScanCode(), event->type() == QEvent::KeyPress);
        break;
    }
    case QEvent::FocusOut:
        hook.releaseWindowKeys();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // the second press of a double-click
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const unsigned message = mouseMessageFor(mouse->button(), event->type() != QEvent::MouseButtonRelease);
        const QPoint at = mouse->globalPosition().toPoint();
        if (message != 0)
            hook.handleMouse(message, at.x(), at.y());
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
