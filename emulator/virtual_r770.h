#pragma once

// The virtual R770: a bus of virtual HID devices behind hidapi's C functions
// (this library defines hid_init, hid_enumerate, hid_open_path, ... itself),
// and a model of the R770 firmware answering on it. Tests and the demo link
// this library in place of the real hidapi.
//
// Control API for tests and the demo. Every function is thread-safe; none of
// them may be called from inside the hot-plug listener while it holds locks
// of its own that a hidapi call of another thread needs.
//
// Behaviour worth knowing:
// - Frames (feature reports of 9 bytes, report id 0) are descrambled with the
//   mouse's own code when its scrambling is on; a frame whose checksum does
//   not match afterwards is ignored and noted in the log. A frame that is not
//   ignored empties the reply register and drops unread input reports of the
//   command interface; queries then fill the register, which
//   hid_get_feature_report returns (scrambled when scrambling is on; nine zero
//   bytes, scrambled, when the last frame was no query). Unknown codes, slot
//   numbers out of range and block lengths outside 1..128 are ignored (noted).
// - Block commands take the following output reports (report id 0, then up
//   to reportLength bytes) until frame byte 3 bytes have arrived; a new frame
//   drops a half-received block. A busy firmware ignores frames and data.
// - Input reports (the 8CH block on the command interface, the DPI-button
//   report on the notification interface) reach an interface only while some
//   handle is open on it, as on hidraw: a report sent while the interface is
//   closed is lost. One that arrived while a handle was open waits until some
//   handle on that interface reads it, also across a close and reopen.
//   setReportsKeptWhileClosed keeps the lost ones too, for tests that press
//   the button without caring when the host listens. Each interface keeps at
//   most 64 reports; the oldest is dropped beyond that.
// - Unplugging fails every open handle of the mouse at once (blocked reads
//   wake up with -1), drops the interface queues, a pending reply and a
//   half-received block, and removes the mouse from enumeration. Plugging it
//   back keeps the firmware state (the settings live in the mouse's flash)
//   and the same paths; handles from before the unplug stay dead.
// - The hot-plug listener runs on the thread that called plug()/unplug(),
//   after the change, with no lock of the bus held.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vr770 {

using Bytes = std::vector<uint8_t>;

// Longest report payload a virtual mouse can be given.
constexpr int MaxReportLength = 4096;

enum class CommandSet { Hid553, Hid560 };

// How one virtual mouse presents itself and how its firmware is set up.
// The defaults are those of the shipped R770.
struct MouseConfig
{
    CommandSet commandSet = CommandSet::Hid553;
    uint16_t vid = 0x2E3C;
    uint16_t pid = 0xC770;
    uint16_t usagePage = 0xFF00;   // command interface
    uint16_t usage = 0x0001;
    uint16_t usagePage2 = 0xFF01;  // notification interface
    uint16_t usage2 = 0x0001;
    int reportLength = 32;         // payload of one output/input report, 1..MaxReportLength
    bool scrambling = true;        // frames are scrambled with secrecyCode
    std::string secrecyCode = "Bx7R70"; // six characters
    // One interface carrying both commands and notifications (usage pair of
    // the command interface); both paths are then the same.
    bool combinedInterface = false;
};

// An unrelated HID device (a keyboard, say): enumerates, opens, accepts
// output reports, refuses feature reports and never sends input.
struct UsagePair
{
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};
struct OtherDeviceConfig
{
    uint16_t vid = 0x1A2B;
    uint16_t pid = 0x0101;
    std::vector<UsagePair> interfaces{{0x0001, 0x0006}}; // generic desktop keyboard
};

// The firmware's state: what each command changes. Indices follow the frames:
// key matrices and hid560 matrix blocks 1..4 are stored at [0..3], macros
// 1..12 at [0..11], profiles 0..4 at [0..4], per-profile values of hid560
// 03H/04H at [n] for n = 1..4 ([0] unused).
struct MouseState
{
    // hid553
    uint8_t reportRate = 0;                         // 01H
    uint8_t currentKeyMatrix = 0;                   // 02H (the byte as sent)
    std::array<uint8_t, 4> keyboardOptions{};       // 03H / 83H (hid560 01H/81H: [0], [1])
    std::array<uint8_t, 4> gunData{};               // 04H
    uint8_t liftOffStage = 0;                       // 07H
    uint8_t liftOffEnable = 0;
    uint8_t currentDpi = 1;                         // 0BH / 8BH / DPI button
    std::array<uint8_t, 3> fixedLedColor{};         // 0CH
    uint8_t ledEffect = 0;                          // 0DH
    uint8_t ledEffectOption1 = 0;
    uint8_t ledEffectOption2 = 0;
    std::map<uint8_t, Bytes> ledStageColors;        // 10H: type -> block as received
    uint8_t dpiStageCount = 0;                      // 11H
    std::array<uint8_t, 8> dpiStageCodes{};
    std::array<std::array<uint8_t, 64>, 4> keyMatrices{};      // 12H
    std::array<std::array<uint8_t, 128>, 12> macros{};         // 13H / 0FH
    // hid560
    uint8_t currentProfile = 1;                                // 02H / 82H
    std::array<uint8_t, 5> profileReportRate{};                // 03H
    std::array<uint8_t, 5> profileDpi{{1, 1, 1, 1, 1}};        // 04H / 84H / DPI button
    std::array<std::array<uint8_t, 128>, 4> keyMatrixBlocks{}; // 0DH
    std::array<std::array<uint8_t, 128>, 5> profiles{};        // 0CH / 8CH
};

enum class Interface { Command, Notification };

enum class TransferKind {
    FeatureOut,       // hid_send_feature_report
    FeatureIn,        // hid_get_feature_report
    OutputReport,     // hid_write
    InputReport,      // hid_read / hid_read_timeout on the command interface
    NotificationRead, // hid_read / hid_read_timeout on the notification interface
    Open,             // hid_open_path
    Close,            // hid_close
};

// One entry of the transfer log.
struct Transfer
{
    int device = 0;           // id from addMouse()/addOtherDevice()
    Interface interface = Interface::Command;
    TransferKind kind = TransferKind::Open;
    Bytes wire;               // bytes as they crossed the wire (report id first for
                              // feature and output reports; as returned for reads)
    Bytes frame;              // FeatureOut/FeatureIn: the plain nine-byte frame
                              // (descrambled when the mouse scrambles)
    int result = 0;           // what the hidapi call returned
    int64_t timeUs = 0;       // monotonic clock, microseconds
    std::string note;         // firmware remark: "checksum error, frame ignored", ...
};

// Calls that a fault can be injected into, and that the call observer sees.
enum class Call { Open, SendFeatureReport, GetFeatureReport, Write, Read, SetNonblocking };

// Handle on one virtual mouse of the bus. Cheap to copy; stays usable after
// unplug(); becomes invalid after resetBus().
class VirtualR770
{
public:
    VirtualR770() = default;
    explicit VirtualR770(int id) : m_id(id) {}
    int id() const { return m_id; }
    bool isValid() const;

    MouseConfig config() const;
    // Reconfigures the mouse (code, scrambling, report length, ids, usage
    // pairs); the firmware state and the paths are kept. Refused (false) for
    // a report length outside 1..MaxReportLength or a change of combinedInterface.
    bool setConfig(const MouseConfig &config);
    std::string commandPath() const;
    std::string notifyPath() const;

    void plug();
    void unplug();
    bool isPlugged() const;

    // The DPI button: sets the current stage and sends 06 07 00 stage on the
    // notification interface.
    void pressDpiButton(uint8_t stage);

    MouseState state() const;
    void setState(const MouseState &state);
    void setKeyboardOptions(const std::array<uint8_t, 4> &bytes);
    void setProfile(int profileNo, const std::array<uint8_t, 128> &block);
    void setCurrentProfile(uint8_t profile);
    void setCurrentDpi(uint8_t stage); // hid553 stage and every hid560 profile's

    // Faults. failCall: the nth call of that kind on that interface, counted
    // from now, returns -1 (one shot). Open failures count hid_open_path.
    void failCall(Interface interface, Call call, int nth = 1);
    void setOpenRefused(bool refused);                    // every open fails
    void setSilent(Interface interface, bool silent);     // no input reports delivered
    void setBusy(bool busy);                              // firmware ignores frames and data
    void setReportsKeptWhileClosed(bool keep);            // input reports wait for the next open
    void clearFaults();

    // Handles on this mouse that the host opened and has not closed yet
    // (handles that an unplug killed count until they are closed).
    int openHandles() const;

    // The transfer log of this mouse only.
    std::vector<Transfer> transfers() const;
    // Plain frames the firmware received (FeatureOut entries), in order.
    std::vector<Bytes> receivedFrames() const;

private:
    int m_id = -1;
};

// The bus. addMouse gives an invalid handle for a report length outside
// 1..MaxReportLength.
VirtualR770 addMouse(const MouseConfig &config = MouseConfig());   // plugged in
std::vector<VirtualR770> mice();   // every mouse on the bus, plugged or not
int addOtherDevice(const OtherDeviceConfig &config = OtherDeviceConfig());
void setOtherDevicePlugged(int id, bool plugged);
void resetBus();                    // removes every device, listener, observer, fault and log entry
void setHotplugListener(std::function<void()> listener);

// Runs at the start of every hidapi call on a device of the bus (opens
// included, closes not), before the call takes effect, on the calling thread
// and with no lock of the bus held. It may therefore use the control API to
// unplug the mouse or switch a fault on just before a chosen call. An empty
// function removes it.
using CallObserver = std::function<void(int device, Interface interface, Call call)>;
void setCallObserver(CallObserver observer);

std::vector<Transfer> transferLog();   // all devices, in order
void clearTransferLog();

// Frame helpers shared by the firmware model and the tests.
uint8_t frameChecksum(const uint8_t *frame9);   // complement of sum of bytes 1..7
void scramble(uint8_t block[8], const std::string &code);
void unscramble(uint8_t block[8], const std::string &code);

} // namespace vr770
