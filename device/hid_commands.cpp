// The hid553 and hid560 command sets: each slot names its descriptor and
// hands its values to the routine of its pattern.
#include "hid_thread.h"

#include "debugline.h"
#include "linkflags.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cstring>

struct hidcmd::SetDescriptor
{
    uchar code;
    const char *busyText; // debug line when the link stays busy
    bool settle;          // settle pauses around the exchange
    bool pauseAfter;      // a short pause after the exchange
};

struct hidcmd::QueryDescriptor
{
    uchar code;
    const char *busyText;
    // Pre-fill the reply with the caller's values (so a failed exchange
    // leaves them as they were) or with zeros only.
    bool prefillOuts;
};

namespace {

constexpr unsigned long PauseAfterSetMs = 8;
// Reply byte of the first out-parameter; the others follow it.
constexpr int FirstReplyPos = frame::FirstParamPos;
// The repeated per-target commands address targets 1 to 4.
constexpr uchar SeriesTargets = 4;
constexpr int ChallengeSize = 4;
constexpr int SecrecyCodeLength = 6;

// hid553 set
constexpr uchar H553_ReportRate = 0x01, H553_CurrentKeyMatrix = 0x02, H553_KeyboardOption = 0x03,
                H553_GunData = 0x04, H553_Lod = 0x07, H553_CurrentDpi = 0x0B, H553_FixLedColor = 0x0C,
                H553_RgbLedEffect = 0x0D, H553_Led8StageColor = 0x10, H553_DpiSet = 0x11,
                H553_KeyMatrix = 0x12, H553_MacroKey = 0x13, H553_SecrecyCode = 0x00,
                H553_GetKeyboardOption = 0x83, H553_GetCurrentDpi = 0x8B;
// hid560 set
constexpr uchar H560_KeyboardOption = 0x01, H560_CurrentProfile = 0x02, H560_ReportRate = 0x03,
                H560_CurrentDpi = 0x04, H560_Profile = 0x0C, H560_KeyMatrix = 0x0D,
                H560_MacroKey = 0x0F, H560_GetKeyboardOption = 0x81, H560_GetCurrentProfile = 0x82,
                H560_GetCurrentDpi = 0x84, H560_ReadProfile = 0x8C;

// Fixed frame bytes.
constexpr uchar LodMarker = 0x7D;
constexpr uchar DpiSetLength = 8;
constexpr uchar KeyMatrixLength553 = 64;
constexpr uchar KeyMatrixMarker553 = 0x08;
constexpr uchar KeyMatrixLength560 = 128;
constexpr uchar ProfileLength = 128;
constexpr uchar MacroLength = 128;
constexpr uchar LedColorBytes = 3;
// 10H: type 2 carries 4 colour bytes, every other type 24.
constexpr uchar Led8StageShortType = 2;
constexpr uchar Led8StageShortLength = 4;
constexpr uchar Led8StageLength = 24;

} // namespace

// Descriptors: code, debug line, settle, pause after.
static const hidcmd::SetDescriptor s553ReportRate{H553_ReportRate, "cmd Failed 01", true, false};
static const hidcmd::SetDescriptor s553CurrentKeyMatrix{H553_CurrentKeyMatrix, "cmd Failed 02", true, false};
static const hidcmd::SetDescriptor s553KeyboardOption{H553_KeyboardOption, "cmd Failed 03", false, true};
static const hidcmd::SetDescriptor s553GunData{H553_GunData, "cmd Failed 04", false, true};
static const hidcmd::SetDescriptor s553Lod{H553_Lod, "hid553_07H_Lod", true, false};
static const hidcmd::SetDescriptor s553CurrentDpi{H553_CurrentDpi, "cmd Failed 0B", true, false};
static const hidcmd::SetDescriptor s553FixLedColor{H553_FixLedColor, "cmd Failed 0C", true, false};
static const hidcmd::SetDescriptor s553RgbLedEffect{H553_RgbLedEffect, "cmd Failed 0D", true, false};
static const hidcmd::SetDescriptor s553Led8StageColor{H553_Led8StageColor, "cmd Failed 10", true, false};
static const hidcmd::SetDescriptor s553DpiSet{H553_DpiSet, "cmd Failed 11", true, false};
static const hidcmd::SetDescriptor s553KeyMatrix{H553_KeyMatrix, "cmd Failed 12", true, false};
static const hidcmd::SetDescriptor s553MacroKey{H553_MacroKey, "cmd Failed 13", true, false};

static const hidcmd::SetDescriptor s560KeyboardOption{H560_KeyboardOption, "cmd Failed 01", false, true};
static const hidcmd::SetDescriptor s560CurrentProfile{H560_CurrentProfile, "cmd Failed 02", false, true};
static const hidcmd::SetDescriptor s560ReportRate{H560_ReportRate, "cmd Failed 03", true, false};
static const hidcmd::SetDescriptor s560CurrentDpi{H560_CurrentDpi, "cmd Failed 04", true, false};
static const hidcmd::SetDescriptor s560Profile{H560_Profile, "cmd Failed 0C", true, false};
static const hidcmd::SetDescriptor s560KeyMatrix{H560_KeyMatrix, "cmd Failed 0D", true, false};
static const hidcmd::SetDescriptor s560MacroKey{H560_MacroKey, "cmd Failed 0F", true, false};

// Descriptors: code, debug line, pre-fill with the caller's values.
static const hidcmd::QueryDescriptor q553SecrecyCode{H553_SecrecyCode, "cmd Failed 00", false};
static const hidcmd::QueryDescriptor q553KeyboardOption{H553_GetKeyboardOption, "cmd Failed 83", true};
static const hidcmd::QueryDescriptor q553CurrentDpi{H553_GetCurrentDpi, "cmd Failed 8BH", true};
static const hidcmd::QueryDescriptor q560KeyboardOption{H560_GetKeyboardOption, "cmd Failed 81", true};
static const hidcmd::QueryDescriptor q560CurrentProfile{H560_GetCurrentProfile, "cmd Failed 82", true};
static const hidcmd::QueryDescriptor q560CurrentDpi{H560_GetCurrentDpi, "cmd Failed 84", true};
static const hidcmd::QueryDescriptor q560ReadProfile{H560_ReadProfile, "cmd Failed 8c", false};

// --- the patterns ------------------------------------------------------------

void Hid_Thread::loadFrame(uchar code, const frame::Params &params)
{
    const frame::CommandFrame f = frame::build(code, params);
    std::memcpy(sendBuffer, f.data(), f.size());
}

// The result of a routine that took the link.
static Exchange outcome(bool completed)
{
    return completed ? Exchange::Completed : Exchange::Failed;
}

Exchange Hid_Thread::runSet(const SetDescriptor &command, const frame::Params &params,
                            const uchar *block, int blockLength)
{
    if (!waitHidReady()) {
        debugLine(command.busyText);
        return Exchange::LinkBusy;
    }
    loadFrame(command.code, params);
    if (blockLength > 0) {
        const size_t n = size_t(std::min(blockLength, MaxBlockLength));
        if (block)
            std::memcpy(bulkBuffer, block, n);
        else
            std::memset(bulkBuffer, 0, n);
    }
    const bool ok = sendCommand(blockLength, command.settle);
    if (command.pauseAfter)
        protocolPause(PauseAfterSetMs);
    return outcome(ok);
}

Exchange Hid_Thread::runQuery(const QueryDescriptor &command, const frame::Params &params,
                              std::initializer_list<uchar *> outs)
{
    if (!waitHidReady()) {
        debugLine(command.busyText);
        return Exchange::LinkBusy;
    }
    loadFrame(command.code, params);
    std::memset(replyBuffer, 0, sizeof replyBuffer);
    if (command.prefillOuts) {
        replyBuffer[frame::CodePos] = command.code;
        int pos = FirstReplyPos;
        for (uchar *out : outs)
            replyBuffer[pos++] = *out;
    }
    const bool ok = queryCommand(0);
    // Read whatever the outcome: a failed exchange leaves the pre-fill.
    int pos = FirstReplyPos;
    for (uchar *out : outs)
        *out = replyBuffer[pos++];
    return outcome(ok);
}

// One frame per target 1..4, stopping after the first for a recoil-capable
// mouse. The link is held for the whole series so that a command issued from
// the events processed between frames cannot overwrite the next frame.
Exchange Hid_Thread::runSeries(const SetDescriptor &command, uchar value)
{
    if (!waitHidReady()) {
        debugLine(command.busyText);
        return Exchange::LinkBusy;
    }
    bool allCompleted = true;
    for (uchar target = 1; target <= SeriesTargets; ++target) {
        hidReady = false;
        loadFrame(command.code, {target, value});
        // Each target is tried regardless of the one before.
        allCompleted = sendCommand(0, command.settle) && allCompleted;
        if (flags && flags->linkIsGun())
            break;
    }
    return outcome(allCompleted);
}

// --- handshake ---------------------------------------------------------------

Exchange Hid_Thread::querySecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    return runQuery(q553SecrecyCode, {byte1, byte2, byte3, byte4}, {&byte1, &byte2, &byte3, &byte4});
}

bool Hid_Thread::chkDeviceIsEnCode(int index)
{
    return handshake(index) == Handshake::Accepted;
}

Handshake Hid_Thread::handshake(int index)
{
    currentIndex = index;

    uchar challenge[ChallengeSize];
    for (uchar &c : challenge)
        c = uchar(QRandomGenerator::global()->generate() & 0xFF);

    // A code of another length (or no entry) keeps the previous key.
    DeviceEntry entry;
    const QByteArray code = entryAt(index, entry) ? entry.sCode.toLatin1() : QByteArray();
    if (code.size() == SecrecyCodeLength)
        std::memcpy(&secrecyKey[1], code.constData(), SecrecyCodeLength);

    uchar answer[ChallengeSize];
    std::memcpy(answer, challenge, sizeof answer);
    // Only a completed exchange can prove the device: a dropped or failed
    // query would otherwise leave the challenge (or zeros) standing.
    const Exchange exchange = querySecrecyCode(answer[0], answer[1], answer[2], answer[3]);
    if (exchange == Exchange::LinkBusy)
        return Handshake::LinkBusy;
    // A failed exchange tested nothing: it is not a wrong code.
    if (exchange == Exchange::Failed)
        return Handshake::Failed;
    return std::memcmp(answer, challenge, sizeof answer) == 0 ? Handshake::Accepted : Handshake::Rejected;
}

// --- hid553 ------------------------------------------------------------------

void Hid_Thread::hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    querySecrecyCode(byte1, byte2, byte3, byte4);
}

Exchange Hid_Thread::Reporting::hid553_01H_SetReportRate(uchar rate)
{
    return link.runSet(s553ReportRate, {rate});
}

Exchange Hid_Thread::Reporting::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix)
{
    return link.runSet(s553CurrentKeyMatrix, {currentKeyMatrix});
}

Exchange Hid_Thread::Reporting::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3,
                                                             uchar byte4)
{
    return link.runSet(s553KeyboardOption, {byte1, byte2, byte3, byte4});
}

Exchange Hid_Thread::Reporting::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    return link.runSet(s553GunData, {0, byte1, byte2, byte3, byte4});
}

Exchange Hid_Thread::Reporting::hid553_07H_Lod(uchar stage, uchar en)
{
    return link.runSet(s553Lod, {0, stage, LodMarker, en});
}

Exchange Hid_Thread::Reporting::hid553_0BH_SetCurrentDPI(uchar stage)
{
    return link.runSet(s553CurrentDpi, {stage});
}

Exchange Hid_Thread::Reporting::hid553_0CH_SetFixLEDColor(uchar *src3)
{
    uchar rgb[LedColorBytes] = {};
    if (src3)
        std::memcpy(rgb, src3, sizeof rgb);
    return link.runSet(s553FixLedColor, {rgb[0], rgb[1], rgb[2]});
}

Exchange Hid_Thread::Reporting::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
    return link.runSet(s553RgbLedEffect, {effect, option1, option2});
}

Exchange Hid_Thread::Reporting::hid553_10H_SetLED8StageColor(uchar type, uchar *src24)
{
    const uchar length = type == Led8StageShortType ? Led8StageShortLength : Led8StageLength;
    return link.runSet(s553Led8StageColor, {type, length}, src24, length);
}

Exchange Hid_Thread::Reporting::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
    return link.runSet(s553DpiSet, {dpiStage, DpiSetLength}, src8, DpiSetLength);
}

Exchange Hid_Thread::Reporting::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    return link.runSet(s553KeyMatrix, {indexAddOne, KeyMatrixLength553, KeyMatrixMarker553}, src64,
                       KeyMatrixLength553);
}

Exchange Hid_Thread::Reporting::hid553_13H_SetMacroKey(uchar macroId, uchar *src128)
{
    return link.runSet(s553MacroKey, {macroId, MacroLength}, src128, MacroLength);
}

Exchange Hid_Thread::Reporting::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3,
                                                             uchar &byte4)
{
    return link.runQuery(q553KeyboardOption, {}, {&byte1, &byte2, &byte3, &byte4});
}

Exchange Hid_Thread::Reporting::hid553_8BH_GetCurrentDPI(uchar &byte1)
{
    return link.runQuery(q553CurrentDpi, {}, {&byte1});
}

// --- hid560 ------------------------------------------------------------------

Exchange Hid_Thread::Reporting::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
    return link.runSet(s560KeyboardOption, {byte1, byte2});
}

Exchange Hid_Thread::Reporting::hid560_02H_SetCurrentProfile(uchar profile)
{
    return link.runSet(s560CurrentProfile, {profile});
}

Exchange Hid_Thread::Reporting::hid560_03H_SetReportRate(uchar rate)
{
    return link.runSeries(s560ReportRate, rate);
}

Exchange Hid_Thread::Reporting::hid560_04H_SetCurrentDPI(uchar stage)
{
    return link.runSeries(s560CurrentDpi, stage);
}

Exchange Hid_Thread::Reporting::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
    return link.runSet(s560Profile, {profileData, ProfileLength}, src128, ProfileLength);
}

Exchange Hid_Thread::Reporting::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    // The 64-byte matrix travels in a 128-byte block whose second half is zero.
    uchar block[KeyMatrixLength560] = {};
    if (src64)
        std::memcpy(block, src64, KeyMatrixLength553);
    return link.runSet(s560KeyMatrix, {indexAddOne, KeyMatrixLength560}, block, KeyMatrixLength560);
}

Exchange Hid_Thread::Reporting::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
    return link.runSet(s560MacroKey, {macroId, MacroLength}, src128, MacroLength);
}

Exchange Hid_Thread::Reporting::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
    return link.runQuery(q560KeyboardOption, {}, {&byte1, &byte2});
}

Exchange Hid_Thread::Reporting::hid560_82H_GetCurrentProfile(uchar &byte1)
{
    return link.runQuery(q560CurrentProfile, {}, {&byte1});
}

Exchange Hid_Thread::Reporting::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2)
{
    // byte1 goes out as the selector and comes back overwritten.
    return link.runQuery(q560CurrentDpi, {byte1}, {&byte1, &byte2});
}

Exchange Hid_Thread::Reporting::hid560_8CH_readProfile(uchar *src128, uchar profileNo)
{
    if (!src128)
        return Exchange::Failed;
    if (!link.waitHidReady()) {
        debugLine(q560ReadProfile.busyText);
        return Exchange::LinkBusy;
    }
    link.loadFrame(q560ReadProfile.code, {profileNo});
    std::memset(link.replyBuffer, 0, sizeof link.replyBuffer);
    std::memcpy(link.bulkBuffer, src128, ProfileLength);
    const bool ok = link.queryCommand(ProfileLength);
    // A failed read leaves the caller's bytes where no chunk arrived.
    std::memcpy(src128, link.bulkBuffer, ProfileLength);
    return outcome(ok);
}

// --- the slots: silent wrappers ---------------------------------------------

void Hid_Thread::hid553_01H_SetReportRate(uchar rate)
{
    reporting().hid553_01H_SetReportRate(rate);
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix)
{
    reporting().hid553_02H_SetCurrentKeyMatrix(currentKeyMatrix);
}

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    reporting().hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    reporting().hid553_04H_SetGunData(byte1, byte2, byte3, byte4);
}

void Hid_Thread::hid553_07H_Lod(uchar stage, uchar en)
{
    reporting().hid553_07H_Lod(stage, en);
}

void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar stage)
{
    reporting().hid553_0BH_SetCurrentDPI(stage);
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3)
{
    reporting().hid553_0CH_SetFixLEDColor(src3);
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
    reporting().hid553_0DH_SetRGBLedEffect(effect, option1, option2);
}

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24)
{
    reporting().hid553_10H_SetLED8StageColor(type, src24);
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
    reporting().hid553_11H_SetDPISet(dpiStage, src8);
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    reporting().hid553_12H_SetKeyMatrix(src64, indexAddOne);
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128)
{
    reporting().hid553_13H_SetMacroKey(macroId, src128);
}

void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    reporting().hid553_83H_GetKeyboardoption(byte1, byte2, byte3, byte4);
}

void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &byte1)
{
    reporting().hid553_8BH_GetCurrentDPI(byte1);
}

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
    reporting().hid560_01H_SetKeyboardoption(byte1, byte2);
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile)
{
    reporting().hid560_02H_SetCurrentProfile(profile);
}

void Hid_Thread::hid560_03H_SetReportRate(uchar rate)
{
    reporting().hid560_03H_SetReportRate(rate);
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage)
{
    reporting().hid560_04H_SetCurrentDPI(stage);
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
    reporting().hid560_0CH_setProfile(src128, profileData);
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    reporting().hid560_0DH_SetKeyMatrix(src64, indexAddOne);
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
    reporting().hid560_0FH_SetMacroKey(macroId, src128);
}

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
    reporting().hid560_81H_GetKeyboardoption(byte1, byte2);
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1)
{
    reporting().hid560_82H_GetCurrentProfile(byte1);
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2)
{
    reporting().hid560_84H_GetCurrentDPI(byte1, byte2);
}

void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo)
{
    reporting().hid560_8CH_readProfile(src128, profileNo);
}
