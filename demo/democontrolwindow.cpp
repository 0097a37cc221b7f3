#include "democontrolwindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString hex(const uint8_t *bytes, size_t count)
{
    QString text;
    for (size_t i = 0; i < count; ++i)
        text += QStringLiteral("%1 ").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
    return text.trimmed();
}

template <size_t N>
QString hex(const std::array<uint8_t, N> &bytes)
{
    return hex(bytes.data(), N);
}

constexpr int refreshMs = 500;
constexpr int stageCount = 8;

} // namespace

DemoControlWindow::DemoControlWindow(vr770::VirtualR770 virtualMouse, QWidget *parent)
    : QWidget(parent)
    , mouse(virtualMouse)
{
    setWindowTitle(tr("Virtual R770"));

    auto *buttons = new QGroupBox(tr("DPI button (stage)"));
    auto *stages = new QHBoxLayout(buttons);
    for (int stage = 1; stage <= stageCount; ++stage) {
        auto *press = new QPushButton(QString::number(stage));
        press->setToolTip(tr("Press the mouse's DPI button to reach stage %1").arg(stage));
        connect(press, &QPushButton::clicked, this, [this, stage] {
            mouse.pressDpiButton(uint8_t(stage));
            refresh();
        });
        stages->addWidget(press);
    }

    plugButton = new QPushButton;
    connect(plugButton, &QPushButton::clicked, this, &DemoControlWindow::togglePlug);
    status = new QLabel;

    auto *showButton = new QPushButton(tr("Show R770 window"));
    showButton->setToolTip(tr("Like a double-click on the tray icon"));
    connect(showButton, &QPushButton::clicked, this, [this] {
        if (restore)
            restore();
    });

    auto *cable = new QHBoxLayout;
    cable->addWidget(status, 1);
    cable->addWidget(plugButton);
    cable->addWidget(showButton);

    readout = new QPlainTextEdit;
    readout->setReadOnly(true);
    readout->setFont(QFont(QStringLiteral("monospace")));
    readout->setMinimumSize(440, 320);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buttons);
    layout->addLayout(cable);
    layout->addWidget(new QLabel(tr("Firmware state")));
    layout->addWidget(readout);

    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &DemoControlWindow::refresh);
    timer->start(refreshMs);
    refresh();
}

void DemoControlWindow::setRestoreAction(std::function<void()> action)
{
    restore = std::move(action);
}

void DemoControlWindow::togglePlug()
{
    if (mouse.isPlugged())
        mouse.unplug();
    else
        mouse.plug();
    refresh();
}

void DemoControlWindow::refresh()
{
    const bool plugged = mouse.isPlugged();
    status->setText(plugged ? tr("Plugged in") : tr("Unplugged"));
    plugButton->setText(plugged ? tr("Unplug") : tr("Plug in"));

    const vr770::MouseState s = mouse.state();
    const bool hid560 = mouse.config().commandSet == vr770::CommandSet::Hid560;
    QStringList lines;
    lines << tr("Command set: %1").arg(hid560 ? QStringLiteral("hid560") : QStringLiteral("hid553"));
    if (hid560) {
        lines << tr("Current profile: %1").arg(s.currentProfile);
        lines << tr("DPI stage per profile 1-4: %1 %2 %3 %4")
                     .arg(s.profileDpi[1]).arg(s.profileDpi[2]).arg(s.profileDpi[3]).arg(s.profileDpi[4]);
        lines << tr("Keyboard options: %1").arg(hex(s.keyboardOptions.data(), 2));
        for (int p = 0; p < 5; ++p)
            lines << tr("Profile %1 DPI codes: %2").arg(p).arg(hex(s.profiles[p].data() + 84, 8));
    } else {
        lines << tr("Current DPI stage: %1").arg(s.currentDpi);
        lines << tr("DPI stages: %1, codes %2").arg(s.dpiStageCount).arg(hex(s.dpiStageCodes));
        lines << tr("Lift-off: %1 (enable %2)").arg(s.liftOffStage).arg(s.liftOffEnable);
        lines << tr("LED effect: %1 %2 %3").arg(s.ledEffect).arg(s.ledEffectOption1).arg(s.ledEffectOption2);
        lines << tr("Fixed LED colour: %1").arg(hex(s.fixedLedColor));
        lines << tr("Keyboard options: %1").arg(hex(s.keyboardOptions));
        lines << tr("Gun data: %1").arg(hex(s.gunData));
        lines << tr("Current key matrix: %1").arg(s.currentKeyMatrix);
        for (int m = 0; m < 4; ++m) {
            lines << tr("Key matrix %1:").arg(m + 1);
            for (int row = 0; row < 4; ++row)
                lines << QStringLiteral("  %1").arg(hex(s.keyMatrices[m].data() + 16 * row, 16));
        }
    }
    const QString text = lines.join(QLatin1Char('\n'));
    if (readout->toPlainText() != text)
        readout->setPlainText(text);
}
