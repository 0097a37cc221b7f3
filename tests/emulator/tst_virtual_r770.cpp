// The virtual R770's own refusals (cut-short and stray blocks, reports too
// long), driven through hidapi's C functions the way a host does. What the
// program's link does with it, and the faults it injects, are tested beside
// the link and in the fault matrix.
#include <QtTest>

#include <hidapi.h>

#include <numeric>

#include "virtual_r770.h"

using namespace vr770;

namespace {

// A host-side frame: report id 0, code, parameters, complement checksum.
Bytes hostFrame(uint8_t code, std::initializer_list<uint8_t> params = {})
{
    Bytes f(9, 0);
    f[1] = code;
    std::copy(params.begin(), params.end(), f.begin() + 2);
    f[8] = uint8_t(~std::accumulate(f.begin() + 1, f.begin() + 8, 0u));
    return f;
}

// One transfer on its own handle, the way the program's link makes it.
template <typename Op>
int onHandle(const std::string &path, Op op)
{
    hid_device *h = hid_open_path(path.c_str());
    const int r = h ? op(h) : -1;
    hid_close(h);
    return r;
}

// A host with its own copy of the secrecy code, on a scrambling mouse.
struct Host
{
    VirtualR770 mouse;
    std::string code = "Bx7R70";

    int send(Bytes f)
    {
        scramble(f.data() + 1, code);
        return onHandle(mouse.commandPath(), [&](hid_device *h) { return hid_send_feature_report(h, f.data(), f.size()); });
    }

    // The frame, then the block as output reports of reportLength + 1 bytes.
    int sendBlock(Bytes frame, const Bytes &block)
    {
        const size_t chunk = size_t(mouse.config().reportLength);
        int r = send(std::move(frame));
        for (size_t off = 0; r >= 0 && off < block.size(); off += chunk) {
            Bytes report(chunk + 1, 0);
            std::copy_n(block.begin() + off, std::min(chunk, block.size() - off), report.begin() + 1);
            r = onHandle(mouse.commandPath(), [&](hid_device *h) { return hid_write(h, report.data(), report.size()); });
        }
        return r < 0 ? -1 : 0;
    }
};

// Whether the firmware's remark on the last transfer of `kind` mentions `text`.
bool lastNoteHas(const VirtualR770 &mouse, TransferKind kind, const char *text)
{
    const auto log = mouse.transfers();
    const auto it = std::find_if(log.rbegin(), log.rend(), [&](const Transfer &t) { return t.kind == kind; });
    return it != log.rend() && it->note.find(text) != std::string::npos;
}

} // namespace

class TestVirtualR770 : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetBus(); }
    void cleanupTestCase() { resetBus(); }

    void blockFaults()
    {
        VirtualR770 mouse = addMouse();
        Host host{mouse};

        // A frame interrupting a block drops the half received one.
        QCOMPARE(host.sendBlock(hostFrame(0x13, {1, 0x80}), Bytes(32, 1)), 0);
        host.send(hostFrame(0x0B, {2}));
        QVERIFY(lastNoteHas(mouse, TransferKind::FeatureOut, "incomplete block"));

        // Out-of-range slots and stray data are refused without touching state.
        host.sendBlock(hostFrame(0x13, {13, 0x80}), Bytes(128, 1));
        host.sendBlock(hostFrame(0x12, {0, 0x40, 0x08}), Bytes(64, 2));
        const MouseState s = mouse.state();
        QVERIFY(s.macros == decltype(s.macros){});
        QVERIFY(s.keyMatrices == decltype(s.keyMatrices){});
        QVERIFY(lastNoteHas(mouse, TransferKind::OutputReport, "unexpected output report"));

        // Reports longer than the report length do not fit the interface.
        QCOMPARE(onHandle(mouse.commandPath(), [&](hid_device *h) { return hid_write(h, Bytes(34).data(), 34); }), -1);
    }
};

QTEST_GUILESS_MAIN(TestVirtualR770)
#include "tst_virtual_r770.moc"
