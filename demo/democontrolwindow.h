#pragma once

#include "virtual_r770.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The demo's own window: the virtual mouse's DPI button, its cable, and a
// read-out of what its firmware holds.
class DemoControlWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DemoControlWindow(vr770::VirtualR770 mouse, QWidget *parent = nullptr);
    // What the "Show R770 window" button does.
    void setRestoreAction(std::function<void()> action);

private:
    void togglePlug();
    void refresh();

    vr770::VirtualR770 mouse;
    std::function<void()> restore;
    QPushButton *plugButton = nullptr;
    QLabel *status = nullptr;
    QPlainTextEdit *readout = nullptr;
};
