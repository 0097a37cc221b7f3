#include "firmware.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vr770 {

namespace {

constexpr uint8_t NotifyReportId = 0x06;
constexpr uint8_t NotifyDpiStage = 0x07;
constexpr size_t NotifyLength = 4;

constexpr int KeyMatrixCount = 4;
constexpr int MacroCount = 12;
constexpr int ProfileCount = 5;
constexpr int FirstProfileSlot = 1; // hid560 03H/04H address profiles 1..4
constexpr int LastProfileSlot = 4;

bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

// Copies the block into a fixed area; a shorter block leaves zeros behind it.
template <size_t N>
void store(std::array<uint8_t, N> &to, const Bytes &block)
{
    to.fill(0);
    std::copy_n(block.begin(), std::min(N, block.size()), to.begin());
}

std::string hex2(uint8_t v)
{
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", v);
    return buf;
}

} // namespace

// One command of a command set. `accepts` checks the frame's parameters
// before anything changes; `apply` runs once the frame (and its data block,
// whose length is frame byte 3) is complete.
struct Firmware::Command
{
    uint8_t code;
    bool hasBlock;
    bool (*accepts)(const uint8_t *f);
    void (*apply)(Firmware &fw, const uint8_t *f, const Bytes &block, Outcome &out);
};

namespace {

bool any(const uint8_t *) { return true; }
bool matrixIndex(const uint8_t *f) { return inRange(f[2], 1, KeyMatrixCount); }
bool macroIndex(const uint8_t *f) { return inRange(f[2], 1, MacroCount); }
bool profileIndex(const uint8_t *f) { return inRange(f[2], 0, ProfileCount - 1); }
bool profileSlot(const uint8_t *f) { return inRange(f[2], FirstProfileSlot, LastProfileSlot); }

// Stage of hid560 profile slot `slot`, or of the current profile for any other selector.
uint8_t hid560Stage(const MouseState &s, uint8_t slot)
{
    if (!inRange(slot, FirstProfileSlot, LastProfileSlot))
        slot = inRange(s.currentProfile, FirstProfileSlot, LastProfileSlot) ? s.currentProfile
                                                                             : FirstProfileSlot;
    return s.profileDpi[slot];
}

} // namespace

void Firmware::setReply(uint8_t code, std::initializer_list<uint8_t> values)
{
    std::fill(reply.begin(), reply.end(), 0);
    reply[frame::Code] = code;
    int pos = frame::FirstParam;
    for (uint8_t v : values)
        reply[pos++] = v;
    reply[frame::Checksum] = frameChecksum(reply.data());
}

const Firmware::Command *Firmware::find(CommandSet set, uint8_t code)
{
    // Handlers are captureless lambdas; queries fill the reply register.
    // 00H answers the challenge: bytes 2 to 5 come back in reply bytes 2 to 5.
    static const Command hid553[] = {
        {0x00, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.setReply(0x00, {f[2], f[3], f[4], f[5]});
         }},
        {0x01, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.reportRate = f[2];
         }},
        {0x02, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.currentKeyMatrix = f[2];
         }},
        {0x03, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.keyboardOptions = {f[2], f[3], f[4], f[5]};
         }},
        {0x04, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.gunData = {f[3], f[4], f[5], f[6]};
         }},
        {0x07, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.liftOffStage = f[3];
             fw.state.liftOffEnable = f[5];
         }},
        {0x0B, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.currentDpi = f[2];
         }},
        {0x0C, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.fixedLedColor = {f[2], f[3], f[4]};
         }},
        {0x0D, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.ledEffect = f[2];
             fw.state.ledEffectOption1 = f[3];
             fw.state.ledEffectOption2 = f[4];
         }},
        {0x10, true, any, [](Firmware &fw, const uint8_t *f, const Bytes &block, Outcome &) {
             fw.state.ledStageColors[f[2]] = block;
         }},
        {0x11, true, any, [](Firmware &fw, const uint8_t *f, const Bytes &block, Outcome &) {
             fw.state.dpiStageCount = f[2];
             store(fw.state.dpiStageCodes, block);
         }},
        {0x12, true, matrixIndex, [](Firmware &fw, const uint8_t *f, const Bytes &block, Outcome &) {
             store(fw.state.keyMatrices[f[2] - 1], block);
         }},
        {0x13, true, macroIndex, [](Firmware &fw, const uint8_t *f, const Bytes &block, Outcome &) {
             store(fw.state.macros[f[2] - 1], block);
         }},
        {0x83, false, any, [](Firmware &fw, const uint8_t *, const Bytes &, Outcome &) {
             const auto &o = fw.state.keyboardOptions;
             fw.setReply(0x83, {o[0], o[1], o[2], o[3]});
         }},
        {0x8B, false, any, [](Firmware &fw, const uint8_t *, const Bytes &, Outcome &) {
             fw.setReply(0x8B, {fw.state.currentDpi});
         }},
    };
    static const Command hid560[] = {
        {0x00, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.setReply(0x00, {f[2], f[3], f[4], f[5]});
         }},
        {0x01, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.keyboardOptions[0] = f[2];
             fw.state.keyboardOptions[1] = f[3];
         }},
        {0x02, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.currentProfile = f[2];
         }},
        {0x03, false, profileSlot, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.profileReportRate[f[2]] = f[3];
         }},
        {0x04, false, profileSlot, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.state.profileDpi[f[2]] = f[3];
         }},
        {0x0C, true, profileIndex, [](Firmware &fw, const uint8_t *f, const Bytes &block, Outcome &) {
             store(fw.state.profiles[f[2]], block);
         }},
        {0x0D, true, matrixIndex, [](Firmware &fw, const uint8_t *f, const Bytes &block, Outcome &) {
             store(fw.state.keyMatrixBlocks[f[2] - 1], block);
         }},
        {0x0F, true, macroIndex, [](Firmware &fw, const uint8_t *f, const Bytes &block, Outcome &) {
             store(fw.state.macros[f[2] - 1], block);
         }},
        {0x81, false, any, [](Firmware &fw, const uint8_t *, const Bytes &, Outcome &) {
             fw.setReply(0x81, {fw.state.keyboardOptions[0], fw.state.keyboardOptions[1]});
         }},
        {0x82, false, any, [](Firmware &fw, const uint8_t *, const Bytes &, Outcome &) {
             fw.setReply(0x82, {fw.state.currentProfile});
         }},
        {0x84, false, any, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &) {
             fw.setReply(0x84, {f[2], hid560Stage(fw.state, f[2])});
         }},
        {0x8C, false, profileIndex, [](Firmware &fw, const uint8_t *f, const Bytes &, Outcome &out) {
             // The profile goes back as input reports of reportLength bytes, the last padded.
             fw.setReply(0x8C, {f[2]});
             const auto &p = fw.state.profiles[f[2]];
             const size_t chunk = size_t(fw.config.reportLength);
             for (size_t off = 0; off < p.size(); off += chunk) {
                 Bytes report(chunk, 0);
                 std::copy_n(p.begin() + off, std::min(chunk, p.size() - off), report.begin());
                 out.input.push_back(std::move(report));
             }
         }},
    };

    const Command *begin = set == CommandSet::Hid553 ? std::begin(hid553) : std::begin(hid560);
    const Command *end = set == CommandSet::Hid553 ? std::end(hid553) : std::end(hid560);
    const Command *c = std::find_if(begin, end, [code](const Command &c) { return c.code == code; });
    return c == end ? nullptr : c;
}

Bytes Firmware::replyWire() const
{
    Bytes wire = reply;
    if (config.scrambling)
        scramble(wire.data() + frame::Code, config.secrecyCode);
    return wire;
}

Firmware::Outcome Firmware::receiveFrame(const uint8_t *wire)
{
    Outcome out;
    out.plainFrame.assign(wire, wire + frame::Size);
    if (config.scrambling)
        unscramble(out.plainFrame.data() + frame::Code, config.secrecyCode);
    if (busy) {
        out.note = "busy, frame ignored";
        return out;
    }

    // Whatever the frame says, the previous answer is gone.
    std::fill(reply.begin(), reply.end(), 0);
    const uint8_t *f = out.plainFrame.data();
    if (f[frame::Checksum] != frameChecksum(f)) {
        out.note = "checksum error, frame ignored";
        return out;
    }
    if (blockCommand) {
        out.note = "incomplete block of " + hex2(blockCommand->code) + "H dropped";
        blockCommand = nullptr;
    }
    out.discardInput = true;
    auto ignore = [&out](const std::string &why) {
        out.note += (out.note.empty() ? "" : "; ") + why + ", frame ignored";
        return out;
    };
    const Command *c = find(config.commandSet, f[frame::Code]);
    if (!c)
        return ignore("unknown command " + hex2(f[frame::Code]) + "H");
    if (!c->accepts(f))
        return ignore("parameter out of range");
    if (!c->hasBlock) {
        c->apply(*this, f, {}, out);
        return out;
    }
    const size_t length = f[frame::BlockLength];
    if (length == 0 || length > frame::MaxBlock)
        return ignore("bad block length");
    blockCommand = c;
    blockFrame = out.plainFrame;
    block.clear();
    blockExpected = length;
    return out;
}

Firmware::Outcome Firmware::receiveData(const uint8_t *payload, size_t length)
{
    Outcome out;
    if (busy) {
        out.note = "busy, data ignored";
        return out;
    }
    if (!blockCommand) {
        out.note = "unexpected output report, ignored";
        return out;
    }
    // Each report carries the next reportLength bytes; padding after the block is dropped.
    const size_t take = std::min({length, size_t(config.reportLength), blockExpected - block.size()});
    block.insert(block.end(), payload, payload + take);
    if (length < size_t(config.reportLength)) {
        // A short report still counts as a whole one: the rest are zero bytes.
        const size_t pad = std::min(size_t(config.reportLength) - length, blockExpected - block.size());
        block.insert(block.end(), pad, 0);
    }
    if (block.size() < blockExpected)
        return out;
    const Command *c = blockCommand;
    blockCommand = nullptr;
    c->apply(*this, blockFrame.data(), block, out);
    return out;
}

Bytes Firmware::pressDpiButton(uint8_t stage)
{
    state.currentDpi = stage;
    if (config.commandSet == CommandSet::Hid560) {
        const int slot = inRange(state.currentProfile, FirstProfileSlot, LastProfileSlot)
                             ? state.currentProfile
                             : FirstProfileSlot;
        state.profileDpi[slot] = stage;
    }
    Bytes report(NotifyLength, 0);
    report[0] = NotifyReportId;
    report[1] = NotifyDpiStage;
    report[3] = stage;
    return report;
}

void Firmware::dropTransient()
{
    std::fill(reply.begin(), reply.end(), 0);
    blockCommand = nullptr;
    block.clear();
    blockExpected = 0;
}

} // namespace vr770
