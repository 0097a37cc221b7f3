// The translation tables: scan code to virtual key, virtual key to usage, and
// the Linux key codes to the scan codes a Windows keyboard hook reports.

#include "evdevscancodes.h"
#include "hooklogic.h"
#include "keymaps.h"

#include <QTest>
#include <set>
#include <utility>

namespace {

struct ScanRow
{
    unsigned scan;
    bool ext;
    unsigned vk;
};

// Every scan code row, one key per entry.
const ScanRow expectedScanRows[] = {
    {0x01, 0, 0x1B}, {0x02, 0, 0x31}, {0x03, 0, 0x32}, {0x04, 0, 0x33}, {0x05, 0, 0x34},
    {0x06, 0, 0x35}, {0x07, 0, 0x36}, {0x08, 0, 0x37}, {0x09, 0, 0x38}, {0x0A, 0, 0x39},
    {0x0B, 0, 0x30}, {0x0C, 0, 0xBD}, {0x0D, 0, 0xBB}, {0x0E, 0, 0x08}, {0x0F, 0, 0x09},
    {0x10, 0, 0x51}, {0x11, 0, 0x57}, {0x12, 0, 0x45}, {0x13, 0, 0x52}, {0x14, 0, 0x54},
    {0x15, 0, 0x59}, {0x16, 0, 0x55}, {0x17, 0, 0x49}, {0x18, 0, 0x4F}, {0x19, 0, 0x50},
    {0x1A, 0, 0xDB}, {0x1B, 0, 0xDD}, {0x1C, 0, 0x0D}, {0x1D, 0, 0xA2}, {0x1E, 0, 0x41},
    {0x1F, 0, 0x53}, {0x20, 0, 0x44}, {0x21, 0, 0x46}, {0x22, 0, 0x47}, {0x23, 0, 0x48},
    {0x24, 0, 0x4A}, {0x25, 0, 0x4B}, {0x26, 0, 0x4C}, {0x27, 0, 0xBA}, {0x28, 0, 0xDE},
    {0x29, 0, 0xC0}, {0x2A, 0, 0xA0}, {0x2B, 0, 0xDC}, {0x2C, 0, 0x5A}, {0x2D, 0, 0x58},
    {0x2E, 0, 0x43}, {0x2F, 0, 0x56}, {0x30, 0, 0x42}, {0x31, 0, 0x4E}, {0x32, 0, 0x4D},
    {0x33, 0, 0xBC}, {0x34, 0, 0xBE}, {0x35, 0, 0xBF}, {0x37, 0, 0x6A}, {0x38, 0, 0xA4},
    {0x39, 0, 0x20}, {0x3A, 0, 0x14}, {0x3B, 0, 0x70}, {0x3C, 0, 0x71}, {0x3D, 0, 0x72},
    {0x3E, 0, 0x73}, {0x3F, 0, 0x74}, {0x40, 0, 0x75}, {0x41, 0, 0x76}, {0x42, 0, 0x77},
    {0x43, 0, 0x78}, {0x44, 0, 0x79}, {0x45, 0, 0x13}, {0x46, 0, 0x91}, {0x47, 0, 0x67},
    {0x48, 0, 0x68}, {0x49, 0, 0x69}, {0x4A, 0, 0x6D}, {0x4B, 0, 0x64}, {0x4C, 0, 0x65},
    {0x4D, 0, 0x66}, {0x4E, 0, 0x6B}, {0x4F, 0, 0x61}, {0x50, 0, 0x62}, {0x51, 0, 0x63},
    {0x52, 0, 0x60}, {0x53, 0, 0x6E}, {0x56, 0, 0xE2}, {0x57, 0, 0x7A}, {0x58, 0, 0x7B},
    {0x6E, 0, 0x86},
    {0x1C, 1, 0x0E}, {0x1D, 1, 0xA3}, {0x35, 1, 0x6F}, {0x36, 1, 0xA1}, {0x37, 1, 0x2C},
    {0x38, 1, 0xA5}, {0x45, 1, 0x90}, {0x47, 1, 0x24}, {0x48, 1, 0x26}, {0x49, 1, 0x21},
    {0x4B, 1, 0x25}, {0x4D, 1, 0x27}, {0x4F, 1, 0x23}, {0x50, 1, 0x28}, {0x51, 1, 0x22},
    {0x52, 1, 0x2D}, {0x53, 1, 0x2E}, {0x5B, 1, 0x5B}, {0x5D, 1, 0x5D},
};

// Every virtual key row (DC with the flag off).
const std::pair<unsigned, unsigned> expectedVkRows[] = {
    {0x08, 0x2A}, {0x09, 0x2B}, {0x0D, 0x28}, {0x0E, 0x58}, {0x13, 0x48}, {0x14, 0x39},
    {0x1B, 0x29}, {0x20, 0x2C}, {0x21, 0x4B}, {0x22, 0x4E}, {0x23, 0x4D}, {0x24, 0x4A},
    {0x25, 0x50}, {0x26, 0x52}, {0x27, 0x4F}, {0x28, 0x51}, {0x2C, 0x46}, {0x2D, 0x49},
    {0x2E, 0x4C}, {0x30, 0x27}, {0x31, 0x1E}, {0x32, 0x1F}, {0x33, 0x20}, {0x34, 0x21},
    {0x35, 0x22}, {0x36, 0x23}, {0x37, 0x24}, {0x38, 0x25}, {0x39, 0x26}, {0x41, 0x04},
    {0x42, 0x05}, {0x43, 0x06}, {0x44, 0x07}, {0x45, 0x08}, {0x46, 0x09}, {0x47, 0x0A},
    {0x48, 0x0B}, {0x49, 0x0C}, {0x4A, 0x0D}, {0x4B, 0x0E}, {0x4C, 0x0F}, {0x4D, 0x10},
    {0x4E, 0x11}, {0x4F, 0x12}, {0x50, 0x13}, {0x51, 0x14}, {0x52, 0x15}, {0x53, 0x16},
    {0x54, 0x17}, {0x55, 0x18}, {0x56, 0x19}, {0x57, 0x1A}, {0x58, 0x1B}, {0x59, 0x1C},
    {0x5A, 0x1D}, {0x5B, 0xE3}, {0x5C, 0xE7}, {0x5D, 0x65}, {0x60, 0x62}, {0x61, 0x59},
    {0x62, 0x5A}, {0x63, 0x5B}, {0x64, 0x5C}, {0x65, 0x5D}, {0x66, 0x5E}, {0x67, 0x5F},
    {0x68, 0x60}, {0x69, 0x61}, {0x6A, 0x55}, {0x6B, 0x57}, {0x6D, 0x56}, {0x6E, 0x63},
    {0x6F, 0x54}, {0x70, 0x3A}, {0x71, 0x3B}, {0x72, 0x3C}, {0x73, 0x3D}, {0x74, 0x3E},
    {0x75, 0x3F}, {0x76, 0x40}, {0x77, 0x41}, {0x78, 0x42}, {0x79, 0x43}, {0x7A, 0x44},
    {0x7B, 0x45}, {0x7C, 0x68}, {0x7D, 0x69}, {0x7E, 0x6A}, {0x7F, 0x6B}, {0x80, 0x6C},
    {0x81, 0x6D}, {0x82, 0x6E}, {0x83, 0x6F}, {0x84, 0x70}, {0x85, 0x71}, {0x86, 0x72},
    {0x87, 0x73}, {0x90, 0x53}, {0x91, 0x47}, {0xA0, 0xE1}, {0xA1, 0xE5}, {0xA2, 0xE0},
    {0xA3, 0xE4}, {0xA4, 0xE2}, {0xA5, 0xE6}, {0xBA, 0x33}, {0xBB, 0x2E}, {0xBC, 0x36},
    {0xBD, 0x2D}, {0xBE, 0x37}, {0xBF, 0x38}, {0xC0, 0x35}, {0xC1, 0x87}, {0xC2, 0x85},
    {0xDB, 0x2F}, {0xDC, 0x31}, {0xDD, 0x30}, {0xDE, 0x34}, {0xE2, 0x64}, {0xEB, 0x8B},
    {0xFF, 0x66},
};

} // namespace

class TestInputMaps : public QObject
{
    Q_OBJECT

private:
    keymaps::ScanToVkMap scanToVk = keymaps::buildScanToVk();
    keymaps::VkToUsageMap vkToUsage = keymaps::buildVkToUsage(false);

    quint8 usage(unsigned scan, bool ext, bool alt = false) const
    {
        return hooklogic::usageOf(scanToVk, vkToUsage, scan, ext, alt);
    }

    quint8 usageOfEvdev(unsigned evdev) const
    {
        const evdevscan::ScanCode key = evdevscan::fromEvdev(evdev);
        return usage(key.scan, key.extended);
    }

private slots:
    void scanToVkHasExactlyTheTabledRows()
    {
        QCOMPARE(scanToVk.size(), std::size(expectedScanRows));
        for (const ScanRow &row : expectedScanRows) {
            const quint16 key = keymaps::scanKey(row.scan, row.ext);
            QVERIFY2(scanToVk.count(key), qPrintable(QString::number(key, 16)));
            QCOMPARE(unsigned(scanToVk.at(key)), row.vk);
        }
    }

    void vkToUsageHasExactlyTheTabledRows()
    {
        QCOMPARE(vkToUsage.size(), std::size(expectedVkRows));
        for (const auto &[vk, expected] : expectedVkRows) {
            QVERIFY2(vkToUsage.count(quint8(vk)), qPrintable(QString::number(vk, 16)));
            QCOMPARE(unsigned(vkToUsage.at(quint8(vk))), expected);
        }
    }

    void backslashFollowsTheNonUsHashFlag()
    {
        const auto withFlag = keymaps::buildVkToUsage(true);
        QCOMPARE(keymaps::lookup(vkToUsage, 0xDC), quint8(0x31));
        QCOMPARE(keymaps::lookup(withFlag, 0xDC), quint8(0x32));
        // Nothing else changes with the flag.
        auto rest = withFlag;
        rest[0xDC] = 0x31;
        QVERIFY(rest == vkToUsage);
    }

    void keysThroughBothSteps()
    {
        QCOMPARE(usage(0x1C, false), quint8(0x28)); // main Enter
        QCOMPARE(usage(0x1C, true), quint8(0x58));  // keypad Enter
        QCOMPARE(usage(0x5C, true), quint8(0));     // right Windows key
        QCOMPARE(usage(0x5B, true), quint8(0xE3));  // left Windows key
        QCOMPARE(usage(0x6E, false), quint8(0x72)); // F23
        QCOMPARE(usage(0x36, false), quint8(0));
        QCOMPARE(usage(0x36, true), quint8(0xE5));  // right Shift
        QCOMPARE(usage(0x46, false), quint8(0x47)); // Scroll Lock keeps its row
        // Above FF reads as 00, which has no row (0x11E would be A if masked).
        QCOMPARE(usage(0x11E, false), quint8(0));
        QCOMPARE(usage(0x100, false), quint8(0));
    }

    void namedLinuxKeysGiveTheWindowsScanCodes_data()
    {
        QTest::addColumn<unsigned>("evdev");
        QTest::addColumn<unsigned>("scan");
        QTest::addColumn<bool>("ext");
        QTest::newRow("KPENTER") << 96u << 0x1Cu << true;
        QTest::newRow("ENTER") << 28u << 0x1Cu << false;
        QTest::newRow("RIGHTCTRL") << 97u << 0x1Du << true;
        QTest::newRow("LEFTCTRL") << 29u << 0x1Du << false;
        QTest::newRow("RIGHTSHIFT") << 54u << 0x36u << true;
        QTest::newRow("NUMLOCK") << 69u << 0x45u << true;
        QTest::newRow("PAUSE") << 119u << 0x45u << false;
        QTest::newRow("SYSRQ") << 99u << 0x37u << true;
        QTest::newRow("KPASTERISK") << 55u << 0x37u << false;
        QTest::newRow("UP") << 103u << 0x48u << true;
        QTest::newRow("DOWN") << 108u << 0x50u << true;
        QTest::newRow("LEFT") << 105u << 0x4Bu << true;
        QTest::newRow("RIGHT") << 106u << 0x4Du << true;
        QTest::newRow("HOME") << 102u << 0x47u << true;
        QTest::newRow("END") << 107u << 0x4Fu << true;
        QTest::newRow("PAGEUP") << 104u << 0x49u << true;
        QTest::newRow("PAGEDOWN") << 109u << 0x51u << true;
        QTest::newRow("INSERT") << 110u << 0x52u << true;
        QTest::newRow("DELETE") << 111u << 0x53u << true;
        QTest::newRow("KP7") << 71u << 0x47u << false;
        QTest::newRow("LEFTMETA") << 125u << 0x5Bu << true;
        QTest::newRow("RIGHTMETA") << 126u << 0x5Cu << true;
        QTest::newRow("COMPOSE") << 127u << 0x5Du << true;
        QTest::newRow("KPSLASH") << 98u << 0x35u << true;
        QTest::newRow("SLASH") << 53u << 0x35u << false;
        QTest::newRow("RIGHTALT") << 100u << 0x38u << true;
        QTest::newRow("F23") << 193u << 0x6Eu << false;
    }

    void namedLinuxKeysGiveTheWindowsScanCodes()
    {
        QFETCH(unsigned, evdev);
        QFETCH(unsigned, scan);
        QFETCH(bool, ext);
        const evdevscan::ScanCode key = evdevscan::fromXKeycode(evdev + 8);
        QCOMPARE(unsigned(key.scan), scan);
        QCOMPARE(key.extended, ext);
    }

    void linuxKeysReachTheirUsages()
    {
        QCOMPARE(usageOfEvdev(30), quint8(0x04));  // A
        QCOMPARE(usageOfEvdev(96), quint8(0x58));  // keypad Enter
        QCOMPARE(usageOfEvdev(119), quint8(0x48)); // Pause
        QCOMPARE(usageOfEvdev(69), quint8(0x53));  // Num Lock
        QCOMPARE(usageOfEvdev(99), quint8(0x46));  // Print Screen
        QCOMPARE(usageOfEvdev(86), quint8(0x64));  // 102nd key
        QCOMPARE(usageOfEvdev(127), quint8(0x65)); // menu key
        QCOMPARE(usageOfEvdev(126), quint8(0));    // right Windows key
        QCOMPARE(usageOfEvdev(113), quint8(0));    // media keys have no row
        QCOMPARE(usageOfEvdev(0x2FF), quint8(0));
        QCOMPARE(evdevscan::fromXKeycode(7).scan, quint8(0));
    }

    void noTwoLinuxKeysShareAScanCode()
    {
        std::set<std::pair<int, bool>> seen;
        int keys = 0;
        for (unsigned evdev = 0; evdev < 256; ++evdev) {
            const evdevscan::ScanCode key = evdevscan::fromEvdev(evdev);
            if (key.scan == 0)
                continue;
            ++keys;
            QVERIFY2(seen.insert({key.scan, key.extended}).second,
                     qPrintable(QString::number(evdev)));
        }
        QVERIFY(keys > 100);
    }

    void everyMappedScanCodeHasALinuxKey()
    {
        // The 102-key layout's keys all come through on Linux.
        std::set<quint16> reached;
        for (unsigned evdev = 0; evdev < 256; ++evdev) {
            const evdevscan::ScanCode key = evdevscan::fromEvdev(evdev);
            if (key.scan != 0)
                reached.insert(keymaps::scanKey(key.scan, key.extended));
        }
        for (const auto &[key, vk] : scanToVk)
            QVERIFY2(reached.count(key), qPrintable(QString::number(key, 16)));
    }
};

QTEST_APPLESS_MAIN(TestInputMaps)
#include "tst_input_maps.moc"
