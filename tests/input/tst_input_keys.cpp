// Key translation and hook logic without a platform: scan codes and Linux key
// codes to usages, the key state table, the button table and installation.

#include "evdevscancodes.h"
#include "inputhook.h"
#include "platformhooks.h"
#include "windowinputtap.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <utility>

namespace {

// An event source that only counts what is done to it.
struct FakeSource : HookBackend
{
    static inline int active = 0; // installations not yet removed
    static inline bool available = true;
    static inline bool seesWindows = true; // sees the program's own windows
    bool installed = false;
    bool install() override
    {
        active += installed = available;
        return installed;
    }
    void remove() override { active -= std::exchange(installed, false); }
    bool coversOwnWindows() const override { return seesWindows; }
};

// What Qt gives a window for a Linux key: its X keycode.
constexpr quint32 nativeOf(unsigned evdev)
{
    return evdev + evdevscan::xKeycodeOffset;
}

} // namespace

class TestInputKeys : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<InputHook> hook;
    QStringList reports;

    void makeHook(bool useNonUsHash)
    {
        hook = std::make_unique<InputHook>(useNonUsHash, std::make_unique<FakeSource>());
        // Reports as text: "4+" key press, "f0- 10,20" button release at (10, 20).
        hook->setKeyboardCallback([](unsigned char usage, bool isDown, void *list) {
            *static_cast<QStringList *>(list) << QString::number(usage, 16) + (isDown ? '+' : '-');
        }, &reports);
        hook->setMouseCallback([](unsigned code, bool isDown, int x, int y, void *list) {
            *static_cast<QStringList *>(list)
                << QString("%1%2 %3,%4").arg(code, 0, 16).arg(isDown ? '+' : '-').arg(x).arg(y);
        }, &reports);
    }

    // The usage a key tap reports, 0 for none.
    unsigned tap(unsigned scan, bool ext = false, bool alt = false)
    {
        reports.clear();
        hook->handleKeyboard(scan, ext, alt, true);
        hook->handleKeyboard(scan, ext, alt, false);
        const unsigned usage = reports.value(0).remove('+').toUInt(nullptr, 16);
        const bool paired = reports.join(' ') == QString("%1+ %1-").arg(usage, 0, 16);
        return reports.isEmpty() || paired ? usage : 0xBAD; // 0xBAD: not a press and release
    }

private slots:
    void init()
    {
        hook.reset();
        FakeSource::active = 0;
        FakeSource::available = true;
        FakeSource::seesWindows = true;
        reports.clear();
        InputHook::keyStates = hooklogic::KeyStateTable(); // every key released
        makeHook(false);
    }

    void keysThroughBothSteps()
    {
        QCOMPARE(tap(0x1C), 0x28u);             // main Enter
        QCOMPARE(tap(0x1C, true), 0x58u);       // keypad Enter
        QCOMPARE(tap(0x5C, true), 0u);          // right Windows key
        QCOMPARE(tap(0x6E), 0x72u);             // F23
        QCOMPARE(tap(0x36), 0u);                // right Shift needs ext
        QCOMPARE(tap(0x46), 0x47u);             // Scroll Lock keeps its row
        QCOMPARE(tap(0x46, true), 0x48u);       // Ctrl+Break stands for Pause
        QCOMPARE(tap(0x54, false, true), 0x46u); // Alt+SysRq stands for Print Screen
        QCOMPARE(tap(0x54), 0u);
        QCOMPARE(tap(0x11E), 0u);               // above FF reads as 00, not as 1E
        QCOMPARE(tap(0x2B), 0x31u);             // backslash
        // Linux key codes give the scan codes a Windows keyboard reports.
        const std::pair<unsigned, unsigned> linuxKeys[] = {
            {96, 0x58}, {97, 0xE4}, {69, 0x53},  // KPENTER 1C+, RIGHTCTRL 1D+, NUMLOCK 45+
            {119, 0x48}, {99, 0x46}, {55, 0x55}, // PAUSE 45, SYSRQ 37+, KPASTERISK 37
            {103, 0x52}, {72, 0x60}, {98, 0x54}, // UP 48+, KP8 48, KPSLASH 35+ (+: ext)
            {100, 0xE6}, {127, 0x65}, {126, 0}}; // RIGHTALT 38+, COMPOSE 5D+, RIGHTMETA 5C+
        for (const auto &[evdev, usage] : linuxKeys) {
            const evdevscan::ScanCode key = evdevscan::fromXKeycode(evdev + 8);
            QCOMPARE(tap(key.scan, key.extended), usage);
        }
    }

    void nonUsHashChangesOnlyBackslash()
    {
        makeHook(true);
        QCOMPARE(tap(0x2B), 0x32u);
        keymaps::VkToUsageMap with = hook->vkToUsage;
        with[0xDC] = 0x31;
        QVERIFY(with == keymaps::buildVkToUsage(false));
    }

    void keyChangesAreReportedOnce()
    {
        hook->handleKeyboard(0x30, false, false, false); // B released, never pressed
        for (int i = 0; i < 20; ++i)
            hook->handleKeyboard(0x1E, false, false, true); // auto-repeat of A
        hook->handleKeyboard(0x1E, false, false, false);
        hook->handleKeyboard(0x1E, false, false, false);
        QCOMPARE(reports, (QStringList{"4+", "4-"}));
    }

    // The window's own events count only where the capture does not see
    // them; then they report as the capture would.
    void windowEventsStandInForTheCapture()
    {
        QObject window;
        WindowInputTap tap(*hook, &window);
        const quint32 keyA = nativeOf(30), leftAlt = nativeOf(56), sysRq = nativeOf(99);
        auto key = [&window](QEvent::Type type, quint32 native, bool autoRepeat = false) {
            QKeyEvent event(type, 0, Qt::NoModifier, native, 0, 0, QString(), autoRepeat);
            QCoreApplication::sendEvent(&window, &event);
        };
        auto click = [&window](QEvent::Type type, Qt::MouseButton button) {
            QMouseEvent event(type, QPointF(1, 2), QPointF(30, 40), button, button, Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &event);
        };

        // The capture sees the window: nothing from the window.
        QVERIFY(!hook->ownWindowEventsNeeded());
        key(QEvent::KeyPress, keyA);
        click(QEvent::MouseButtonPress, Qt::LeftButton);
        QCOMPARE(reports, QStringList());
        key(QEvent::KeyRelease, keyA);

        for (bool installed : {false, true}) {
            FakeSource::available = installed;
            FakeSource::seesWindows = false; // a Wayland session
            QVERIFY(hook->installHooks() == installed);
            QVERIFY(hook->ownWindowEventsNeeded());
            reports.clear();
            key(QEvent::KeyPress, keyA);
            key(QEvent::KeyRelease, keyA, true); // auto-repeat: still held
            key(QEvent::KeyPress, keyA, true);
            key(QEvent::KeyRelease, keyA);
            key(QEvent::KeyPress, leftAlt);
            key(QEvent::KeyPress, sysRq); // Alt+SysRq is Print Screen
            key(QEvent::KeyRelease, sysRq);
            key(QEvent::KeyPress, 0);     // no native code (synthesised)
            // The window loses the keyboard with Alt held: its release goes
            // elsewhere, so it is reported here.
            QFocusEvent focusOut(QEvent::FocusOut);
            QCoreApplication::sendEvent(&window, &focusOut);
            key(QEvent::KeyRelease, leftAlt);
            // A double-click: its second press comes as a double-click event.
            click(QEvent::MouseButtonPress, Qt::LeftButton);
            click(QEvent::MouseButtonRelease, Qt::LeftButton);
            click(QEvent::MouseButtonDblClick, Qt::LeftButton);
            click(QEvent::MouseButtonRelease, Qt::LeftButton);
            click(QEvent::MouseButtonPress, Qt::BackButton);
            QCOMPARE(reports, (QStringList{"4+", "4-", "e2+", "46+", "46-", "e2-",
                                           "f0+ 30,40", "f0- 30,40", "f0+ 30,40", "f0- 30,40"}));
        }
    }

};

QTEST_GUILESS_MAIN(TestInputKeys)
#include "tst_input_keys.moc"
