#pragma once

#include <QEvent>

// Posted by the host window to itself so that the scene's "run" follows
// its "initUI".
class UserEvent : public QEvent
{
public:
    static constexpr int Type = QEvent::User; // 1000
    static constexpr int RunCode = 2177;

    explicit UserEvent(int code = RunCode) : QEvent(QEvent::Type(Type)), eventCode(code) {}
    int eventCode;
};

// Posted to the host window to bring it back: made visible and restored
// from minimised.
class RestoreEvent : public QEvent
{
public:
    static constexpr int Type = QEvent::User + 1;
    RestoreEvent() : QEvent(QEvent::Type(Type)) {}
};
