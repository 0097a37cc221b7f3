// The fault matrix: one command of each form (the handshake, a set with
// parameters, sets followed by one and by several data reports, the hid560
// series and profile image, queries, the block read) of
// both command sets against the virtual mouse, with each of its HID calls in turn struck by each fault the mouse
// can inject: unplugged just before the call, an error from the call, every
// open refused from the call on, no input reports from the call on, firmware
// busy from the call on. Each scenario checks that the command ends within
// its bounds, that the link is free with no handle left open, that a struck
// command does not report success, and that after re-plugging and discovery
// the command works again.
//
// By default a slice runs: for each command and fault, the first, a middle
// and the last call the fault can strike, and an error from the first call
// of each kind. R770_FAULT_MATRIX=full strikes every call
// (scripts/fault-matrix). The link's pauses are real; the scenarios run in
// one process.
#include "discovery.h"
#include "linkrig.h"
#include "testmodules.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QtTest>

#include <QDeadlineTimer>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

using vr770::Bytes;
using vr770::MouseState;
using vr770::VirtualR770;

namespace {

enum class Fault { Unplug, Error, RefusedOpen, Silent, Busy };
constexpr Fault AllFaults[] = {Fault::Unplug, Fault::Error, Fault::RefusedOpen, Fault::Silent, Fault::Busy};

// Indexed by Fault and by Call.
const char *const FaultNames[] = {"unplug before", "error from", "open refused from", "silent from", "busy from"};
const char *const CallNames[] = {"open", "send_feature", "get_feature", "write", "read", "set_nonblocking"};

// The calls a fault switched on just before them can do anything to.
bool strikes(Fault f, Call c)
{
    switch (f) {
    case Fault::Unplug:
    case Fault::Error: return true;
    case Fault::RefusedOpen: return c == Call::Open;
    case Fault::Silent: return c == Call::Read;
    case Fault::Busy: return c == Call::SendFeatureReport || c == Call::Write;
    }
    return false;
}

void switchOn(VirtualR770 &mouse, Fault f, Interface in, Call c)
{
    switch (f) {
    case Fault::Unplug: mouse.unplug(); break;
    case Fault::Error: mouse.failCall(in, c, 1); break;
    case Fault::RefusedOpen: mouse.setOpenRefused(true); break;
    case Fault::Silent: mouse.setSilent(in, true); break;
    case Fault::Busy: mouse.setBusy(true); break;
    }
}

// Pre-fill of out-parameters, so that a value the command wrote shows.
constexpr uchar Untouched = 0xA5;
// Longest wait of one block read, and slack for a loaded machine.
constexpr qint64 ReadBoundMs = 1000;
constexpr qint64 SlackMs = 3000;
// Beyond its bound a command counts as hung: the mouse is unplugged to
// wake whatever it waits on.
constexpr qint64 HangMs = 8000;

enum class Kind { Set, Query, BlockRead, Handshake };

// What the caller holds before and after one run, and how the run ended.
struct Outs
{
    Bytes before, after;
    Exchange result = Exchange::Failed;
};

struct CommandCase
{
    const char *name;
    CommandSet set;
    Kind kind;
    // Puts values derived from v into the device, where a query reads them.
    std::function<void(VirtualR770 &, uchar v)> prepare;
    std::function<Outs(Hid_Thread &, uchar v)> run;
    // Whether a completed run had its effect: the device holds v's values
    // (sets) or the caller got the device's values (queries).
    std::function<bool(const MouseState &, uchar v, const Bytes &after)> took;
};

Bytes pattern(int n, uchar v)
{
    Bytes b(size_t(n), 0);
    for (int i = 0; i < n; ++i)
        b[size_t(i)] = uchar(v + 31 * i);
    return b;
}

template <size_t N>
bool holds(const std::array<uint8_t, N> &a, const Bytes &b)
{
    return b.size() == N && std::equal(a.begin(), a.end(), b.begin());
}

// Runs a set: no out-parameters.
template <typename F>
std::function<Outs(Hid_Thread &, uchar)> setCommand(F f)
{
    return [f](Hid_Thread &l, uchar v) { return Outs{{}, {}, f(l, v)}; };
}

// A handshake holds whether it accepted the device; only an accepted one
// counts as completed.
Outs handshakeOuts(Handshake h)
{
    const bool accepted = h == Handshake::Accepted;
    return {{0}, {uchar(accepted)}, accepted ? Exchange::Completed : Exchange::Failed};
}

const QList<CommandCase> &commandCases()
{
    using CS = CommandSet;
    static const QList<CommandCase> cases = {
        // --- hid553 ---
        {"hid553 handshake (00H)", CS::Hid553, Kind::Handshake, nullptr,
         [](Hid_Thread &l, uchar) { return handshakeOuts(l.handshake(0)); },
         [](const MouseState &, uchar, const Bytes &o) { return o == Bytes{1}; }},
        {"hid553_03H_SetKeyboardoption", CS::Hid553, Kind::Set, nullptr,
         setCommand([](Hid_Thread &l, uchar v) { return l.reporting().hid553_03H_SetKeyboardoption(v, v + 1, v + 2, v + 3); }),
         [](const MouseState &s, uchar v, const Bytes &) {
             return holds(s.keyboardOptions, {v, uchar(v + 1), uchar(v + 2), uchar(v + 3)});
         }},
        {"hid553_11H_SetDPISet", CS::Hid553, Kind::Set, nullptr,
         setCommand([](Hid_Thread &l, uchar v) {
             Bytes codes = pattern(8, v);
             return l.reporting().hid553_11H_SetDPISet(v % 8 + 1, codes.data());
         }),
         [](const MouseState &s, uchar v, const Bytes &) {
             return s.dpiStageCount == v % 8 + 1 && holds(s.dpiStageCodes, pattern(8, v));
         }},
        {"hid553_13H_SetMacroKey", CS::Hid553, Kind::Set, nullptr,
         setCommand([](Hid_Thread &l, uchar v) {
             Bytes macro = pattern(128, v);
             return l.reporting().hid553_13H_SetMacroKey(v % 12 + 1, macro.data());
         }),
         [](const MouseState &s, uchar v, const Bytes &) { return holds(s.macros[v % 12], pattern(128, v)); }},
        {"hid553_83H_GetKeyboardoption", CS::Hid553, Kind::Query,
         [](VirtualR770 &m, uchar v) { m.setKeyboardOptions({v, uchar(v + 1), uchar(v + 2), uchar(v + 3)}); },
         [](Hid_Thread &l, uchar) {
             Bytes o(4, Untouched);
             const Bytes before = o;
             const Exchange result = l.reporting().hid553_83H_GetKeyboardoption(o[0], o[1], o[2], o[3]);
             return Outs{before, o, result};
         },
         [](const MouseState &s, uchar, const Bytes &o) { return holds(s.keyboardOptions, o); }},

        // --- hid560 ---
        {"hid560 handshake (00H)", CS::Hid560, Kind::Handshake, nullptr,
         [](Hid_Thread &l, uchar) { return handshakeOuts(l.handshake(0)); },
         [](const MouseState &, uchar, const Bytes &o) { return o == Bytes{1}; }},
        {"hid560_03H_SetReportRate", CS::Hid560, Kind::Set, nullptr,
         setCommand([](Hid_Thread &l, uchar v) { return l.reporting().hid560_03H_SetReportRate(v); }),
         [](const MouseState &s, uchar v, const Bytes &) {
             return std::all_of(s.profileReportRate.begin() + 1, s.profileReportRate.end(),
                                [v](uint8_t r) { return r == v; });
         }},
        {"hid560_0CH_setProfile", CS::Hid560, Kind::Set, nullptr,
         setCommand([](Hid_Thread &l, uchar v) {
             Bytes profile = pattern(128, v);
             return l.reporting().hid560_0CH_setProfile(profile.data(), v % 5);
         }),
         [](const MouseState &s, uchar v, const Bytes &) { return holds(s.profiles[v % 5], pattern(128, v)); }},
        {"hid560_84H_GetCurrentDPI", CS::Hid560, Kind::Query,
         [](VirtualR770 &m, uchar v) { m.setCurrentDpi(v); },
         [](Hid_Thread &l, uchar v) {
             // The first byte goes out as the profile selector.
             Bytes o{uchar(v % 4 + 1), Untouched};
             const Bytes before = o;
             const Exchange result = l.reporting().hid560_84H_GetCurrentDPI(o[0], o[1]);
             return Outs{before, o, result};
         },
         [](const MouseState &s, uchar v, const Bytes &o) {
             return o == Bytes{uchar(v % 4 + 1), s.profileDpi[v % 4 + 1]};
         }},
        {"hid560_8CH_readProfile", CS::Hid560, Kind::BlockRead,
         [](VirtualR770 &m, uchar v) {
             std::array<uint8_t, 128> p;
             const Bytes b = pattern(128, v);
             std::copy(b.begin(), b.end(), p.begin());
             m.setProfile(v % 5, p);
         },
         [](Hid_Thread &l, uchar v) {
             Bytes o(128, Untouched);
             const Bytes before = o;
             const Exchange result = l.reporting().hid560_8CH_readProfile(o.data(), v % 5);
             return Outs{before, o, result};
         },
         [](const MouseState &s, uchar v, const Bytes &o) { return holds(s.profiles[v % 5], o); }},
    };
    return cases;
}

// Runs `run`; should it outlive its deadline, unplugs the mouse so that a
// command waiting without bound ends and the scenario can report it.
// Returns whether that happened.
bool unplugIfHung(VirtualR770 mouse, qint64 deadlineMs, const std::function<void()> &run)
{
    std::atomic<bool> done{false}, fired{false};
    std::thread watchdog([&, mouse]() mutable {
        QDeadlineTimer deadline(deadlineMs);
        while (!done && !deadline.hasExpired())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!done) {
            fired = true;
            mouse.unplug();
        }
    });
    run();
    done = true;
    watchdog.join();
    return fired;
}

struct Call1
{
    Interface in;
    Call call;
};

// The link rig of the command set, at the two report lengths of the sample
// table (one scrambled, one not), and a runtime folder whose device table
// names its mouse.
struct MatrixRig : LinkRig
{
    TestModules modules;

    explicit MatrixRig(CommandSet set) : LinkRig(set, set == CommandSet::Hid553 ? 32 : 64, set == CommandSet::Hid553)
    {
        QSettings table(modules.path("setting/apConfig.bin"), QSettings::IniFormat);
        table.setValue("0/reportLength", mouse.config().reportLength);
        table.setValue("0/isEncode", mouse.config().scrambling);
    }
    ~MatrixRig() { vr770::setCallObserver({}); }

    bool discover()
    {
        const discovery::Outcome found = discovery::acceptFirst(*link, discovery::findDevices());
        return found.result == Handshake::Accepted && found.index == 0;
    }

    // Records the HID calls on the mouse while `run` runs; at call number
    // `strike` (from 1) switches the fault on first.
    std::vector<Call1> observe(const std::function<void()> &run, int strike = 0, Fault fault = Fault::Error)
    {
        std::vector<Call1> calls;
        const int id = mouse.id();
        VirtualR770 m = mouse;
        vr770::setCallObserver([&calls, id, m, strike, fault](int device, Interface in, Call call) mutable {
            if (device != id)
                return;
            calls.push_back({in, call});
            if (int(calls.size()) == strike)
                switchOn(m, fault, in, call);
        });
        run();
        vr770::setCallObserver({});
        return calls;
    }

    bool linkFree() const { return link->hidReady && !link->commandHandle && mouse.openHandles() == 0; }
};

// The reply values a query's caller may have got during a scenario: those of
// each reply frame the mouse sent.
bool sentByDevice(const VirtualR770 &mouse, const Bytes &outs)
{
    for (const vr770::Transfer &t : mouse.transfers()) {
        if (t.kind != TransferKind::FeatureIn || t.result < 0 || t.frame.size() < 2 + outs.size())
            continue;
        if (std::equal(outs.begin(), outs.end(), t.frame.begin() + 2))
            return true;
    }
    return false;
}

bool fullMatrix()
{
    return qEnvironmentVariable("R770_FAULT_MATRIX") == QLatin1String("full");
}

// Positions (from 1) of the calls a fault is tried at. The slice takes the
// first, a middle and the last call, and for errors also the first call of
// each kind, so that every call's failure path is taken.
std::vector<int> positionsFor(const std::vector<Call1> &calls, Fault f)
{
    std::vector<int> all;
    for (size_t i = 0; i < calls.size(); ++i)
        if (strikes(f, calls[i].call))
            all.push_back(int(i) + 1);
    if (fullMatrix() || all.size() <= 3)
        return all;
    std::vector<int> slice{all.front(), all[all.size() / 2], all.back()};
    if (f == Fault::Error) {
        for (Call kind : {Call::Open, Call::SetNonblocking, Call::SendFeatureReport, Call::GetFeatureReport,
                          Call::Write, Call::Read}) {
            const auto first = std::find_if(calls.begin(), calls.end(), [kind](const Call1 &c) { return c.call == kind; });
            if (first != calls.end())
                slice.push_back(int(first - calls.begin()) + 1);
        }
    }
    std::sort(slice.begin(), slice.end());
    slice.erase(std::unique(slice.begin(), slice.end()), slice.end());
    return slice;
}

} // namespace

class TstFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void command_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < commandCases().size(); ++i)
            QTest::newRow(commandCases().at(i).name) << i;
    }

    void command()
    {
        QFETCH(int, index);
        const CommandCase &c = commandCases().at(index);
        MatrixRig rig(c.set);
        QVERIFY(rig.discover());
        uchar v = 1;
        Outs outs;
        // Runs the command with fresh values (put into the device first for
        // queries), struck by `fault` at call `strike` when given.
        const auto run = [&](int strike = 0, Fault fault = Fault::Error) {
            v = uchar(v * 5 + 3);
            if (c.prepare)
                c.prepare(rig.mouse, v);
            return rig.observe([&] { outs = c.run(*rig.link, v); }, strike, fault);
        };

        // A clean run: its calls, its duration, its effect.
        QElapsedTimer clock;
        clock.start();
        const std::vector<Call1> calls = run();
        const qint64 cleanMs = clock.elapsed();
        QVERIFY(!calls.empty() && c.took(rig.mouse.state(), v, outs.after) && outs.result == Exchange::Completed
                && rig.linkFree());
        const qint64 reads = std::count_if(calls.begin(), calls.end(), [](const Call1 &x) { return x.call == Call::Read; });
        const qint64 boundMs = cleanMs + reads * ReadBoundMs + SlackMs;

        for (Fault fault : AllFaults) {
            for (int strike : positionsFor(calls, fault)) {
                const QString where = QStringLiteral("%1 call %2 (%3) of %4")
                                          .arg(FaultNames[int(fault)])
                                          .arg(strike)
                                          .arg(CallNames[int(calls[size_t(strike - 1)].call)])
                                          .arg(c.name);
                vr770::clearTransferLog();
                clock.restart();
                const bool hung = unplugIfHung(rig.mouse, boundMs + HangMs, [&] { run(strike, fault); });
                const qint64 tookMs = clock.elapsed();
                QVERIFY2(!hung, qPrintable(where + ": never ended"));
                QVERIFY2(tookMs <= boundMs,
                         qPrintable(where + QStringLiteral(": took %1 ms, bound %2 ms").arg(tookMs).arg(boundMs)));
                QVERIFY2(rig.linkFree(), qPrintable(where + ": link not free (ready " + QString::number(rig.link->hidReady)
                                                    + ", handles open " + QString::number(rig.mouse.openHandles()) + ")"));

                // A struck command reports no success: not in the result it
                // returns, not as a value it did not get from the device,
                // not as an accepted handshake. A busy firmware drops what
                // it gets without a word, which the link cannot know.
                if (fault != Fault::Busy)
                    QVERIFY2(outs.result != Exchange::Completed, qPrintable(where + ": reported as completed"));
                if (c.kind == Kind::Handshake)
                    QVERIFY2(outs.after == Bytes{0}, qPrintable(where + ": handshake accepted"));
                if (c.kind == Kind::Query)
                    QVERIFY2(outs.after == outs.before || (fault == Fault::Busy && sentByDevice(rig.mouse, outs.after)),
                             qPrintable(where + ": values the device never sent"));
                if (c.kind == Kind::BlockRead) {
                    const MouseState state = rig.mouse.state();
                    const auto &device = state.profiles[v % 5];
                    for (size_t i = 0; i < device.size(); ++i)
                        QVERIFY2(outs.after[i] == outs.before[i] || outs.after[i] == device[i],
                                 qPrintable(where + ": block byte the device never sent"));
                }

                // Re-plug, discover, and the command works.
                rig.mouse.clearFaults();
                if (!rig.mouse.isPlugged())
                    rig.mouse.plug();
                QVERIFY2(rig.discover(), qPrintable(where + ": not found again"));
                run();
                QVERIFY2(c.took(rig.mouse.state(), v, outs.after) && outs.result == Exchange::Completed && rig.linkFree(),
                         qPrintable(where + ": next command failed, or left the link busy"));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TstFaultMatrix)
#include "tst_fault_matrix.moc"
