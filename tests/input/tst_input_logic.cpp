// What the hook reports for sequences of key and button events, and how it
// installs its event source.

#include "inputhook.h"
#include "platformhooks.h"

#include <QTest>
#include <memory>
#include <vector>

namespace {

struct SourceState
{
    int installs = 0;
    int active = 0; // installations not yet removed
    bool available = true;
};

// An event source that only counts what is done to it.
class FakeSource : public HookBackend
{
public:
    explicit FakeSource(SourceState &s) : state(s) {}
    bool install() override
    {
        ++state.installs;
        if (!state.available)
            return false;
        ++state.active;
        installed = true;
        return true;
    }
    void remove() override
    {
        if (installed)
            --state.active;
        installed = false;
    }

private:
    SourceState &state;
    bool installed = false;
};

struct Report
{
    unsigned code;
    bool isDown;
    int x = 0;
    int y = 0;
    bool operator==(const Report &o) const
    {
        return code == o.code && isDown == o.isDown && x == o.x && y == o.y;
    }
};

using Reports = std::vector<Report>;

void recordKey(unsigned char usage, bool isDown, void *context)
{
    static_cast<Reports *>(context)->push_back({usage, isDown});
}

void recordButton(unsigned code, bool isDown, int x, int y, void *context)
{
    static_cast<Reports *>(context)->push_back({code, isDown, x, y});
}

} // namespace

namespace QTest {
template<>
char *toString(const Reports &reports)
{
    QByteArray text;
    for (const Report &r : reports)
        text += QByteArray::number(r.code, 16) + (r.isDown ? "+ " : "- ");
    return qstrdup(text.constData());
}
} // namespace QTest

class TestInputLogic : public QObject
{
    Q_OBJECT

private:
    SourceState source;
    std::unique_ptr<InputHook> hook;
    Reports reports;

    void key(unsigned scan, bool down, bool ext = false, bool alt = false)
    {
        hook->handleKeyboard(scan, ext, alt, down);
    }

private slots:
    void init()
    {
        source = SourceState();
        hook = std::make_unique<InputHook>(false, std::make_unique<FakeSource>(source));
        reports.clear();
        hook->setKeyboardCallback(recordKey, &reports);
        hook->setMouseCallback(recordButton, &reports);
    }

    void cleanup()
    {
        // The key states are process-wide: leave every key released.
        if (hook) {
            hook->setKeyboardCallback(nullptr, nullptr);
            for (unsigned scan = 1; scan < 0x80; ++scan)
                for (bool ext : {false, true})
                    key(scan, false, ext);
        }
        hook.reset();
    }

    void heldKeyReportsOncePerChange()
    {
        for (int i = 0; i < 20; ++i)
            key(0x1E, true); // auto-repeat of A
        key(0x1E, false);
        key(0x1E, false);
        QCOMPARE(reports, (Reports{{0x04, true}, {0x04, false}}));
    }

    void releaseWithoutPressIsNotReported()
    {
        key(0x30, false); // B never pressed
        QVERIFY(reports.empty());
    }

    void stateIsKeptWhileNobodyListens()
    {
        hook->setKeyboardCallback(nullptr, nullptr);
        key(0x2E, true); // C goes down unheard
        hook->setKeyboardCallback(recordKey, &reports);
        key(0x2E, true);
        key(0x2E, false);
        QCOMPARE(reports, (Reports{{0x06, false}}));
    }

    void breakAndSysRqStandForPauseAndPrintScreen()
    {
        // Ctrl+Pause arrives as scan 46 extended.
        key(0x1D, true);
        key(0x46, true, true);
        key(0x46, false, true);
        key(0x1D, false);
        // Alt+Print Screen arrives as scan 54 with Alt held.
        key(0x38, true, false, true);
        key(0x54, true, false, true);
        key(0x54, false, false, true);
        key(0x38, false);
        QCOMPARE(reports, (Reports{{0xE0, true}, {0x48, true}, {0x48, false}, {0xE0, false},
                                   {0xE2, true}, {0x46, true}, {0x46, false}, {0xE2, false}}));
    }

    void unreportedKeys()
    {
        key(0x54, true);        // 54 without Alt has no row
        key(0x5C, true, true);  // right Windows key
        key(0x36, true);        // 36 without ext
        key(0x11E, true);       // beyond FF
        key(0x00, true);
        QVERIFY(reports.empty());
    }

    void nonUsHashFlagChangesBackslash()
    {
        hook.reset();
        hook = std::make_unique<InputHook>(true, std::make_unique<FakeSource>(source));
        hook->setKeyboardCallback(recordKey, &reports);
        key(0x2B, true);
        key(0x2B, false);
        QCOMPARE(reports, (Reports{{0x32, true}, {0x32, false}}));
    }

    void doubleClickGivesTwoPressesAndReleases()
    {
        using namespace hooklogic;
        for (unsigned message : {WmLButtonDown, WmLButtonUp, WmLButtonDblClk, WmLButtonDown,
                                 WmLButtonUp})
            hook->handleMouse(message, 10, 20);
        QCOMPARE(reports, (Reports{{0xF0, true, 10, 20}, {0xF0, false, 10, 20},
                                   {0xF0, true, 10, 20}, {0xF0, false, 10, 20}}));
    }

    void buttonsAndOtherMouseMessages()
    {
        using namespace hooklogic;
        const unsigned move = 0x0200, wheel = 0x020A, xButtonDown = 0x020B;
        for (unsigned message : {move, WmRButtonDown, WmRButtonDblClk, WmRButtonUp, wheel,
                                 WmMButtonDown, WmMButtonUp, xButtonDown})
            hook->handleMouse(message, -5, 7);
        // Every button message is reported, with no state table.
        hook->handleMouse(WmMButtonUp, 1, 2);
        QCOMPARE(reports, (Reports{{0xF1, true, -5, 7}, {0xF1, false, -5, 7},
                                   {0xF2, true, -5, 7}, {0xF2, false, -5, 7},
                                   {0xF2, false, 1, 2}}));
    }

    void installingAgainReplaces()
    {
        QCOMPARE(source.installs, 1); // by the constructor
        QVERIFY(hook->installHooks());
        QVERIFY(hook->installHooks());
        QCOMPARE(source.installs, 3);
        QCOMPARE(source.active, 1);
        hook->removeHooks();
        hook->removeHooks();
        QCOMPARE(source.active, 0);
        QVERIFY(hook->installHooks());
        hook.reset();
        QCOMPARE(source.active, 0);
    }

    void unavailableSourceInstallsNothing()
    {
        source.available = false;
        QVERIFY(!hook->installHooks());
        QCOMPARE(source.active, 0);
        hook.reset();
        QCOMPARE(source.active, 0);
    }
};

QTEST_APPLESS_MAIN(TestInputLogic)
#include "tst_input_logic.moc"
