#pragma once

#include <QFuture>
#include <QList>
#include <QMutex>
#include <QThread>
#include <atomic>
#include <initializer_list>

#include "commandframe.h"
#include "deviceentry.h"

class HidOwner;
class LinkFlags;
namespace hidcmd {
struct SetDescriptor;
struct QueryDescriptor;
}
struct hid_device_;
typedef struct hid_device_ hid_device;

// Process-wide key: bytes 1 to 6 hold the secrecy code of the entry last
// tested by the handshake.
extern uchar secrecyKey[8];

// How one command's exchange ended. The command slots report nothing; the
// program's own callers get this from the link's reporting() commands.
enum class Exchange { Completed, Failed, LinkBusy };

// The handshake's outcome: Rejected means the exchange completed and the
// answer differed from the challenge (a wrong code); Failed means a HID call
// of the exchange failed, so the code was never tested; LinkBusy means the
// link could not be had, so nothing was learnt about the device.
enum class Handshake { Accepted, Rejected, Failed, LinkBusy };

// The protocol's own pauses the link has taken since it was made: settle
// steps, gaps between data reports, the pause after a set. A command cannot
// be faster than its pauses; the benchmark compares against them.
struct PauseTally
{
    unsigned count = 0;
    unsigned long long milliseconds = 0;
};

// The one object that talks to the mouse. A QThread whose own thread is
// never started: commands run on the caller's (GUI) thread; only the device
// watch runs on the global thread pool.
class Hid_Thread : public QThread
{
    Q_OBJECT

public:
    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override;

    // Told of device events (stage changed, removed); may be null.
    HidOwner *owner = nullptr;
    // The controller's flags the commands depend on; null reads as a
    // hid553 mouse without recoil.
    const LinkFlags *flags = nullptr;
    // The watch thread empties notifyPath under entryMutex: replace the list
    // with replaceDeviceList and read entries with deviceEntry.
    QList<DeviceEntry> deviceList;
    int currentIndex = 1;
    hid_device *commandHandle = nullptr;
    hid_device *notifyHandle = nullptr;
    bool hidReady = true;
    std::atomic<bool> watchRunning{false};
    QFuture<void> watchFuture;
    uchar sendBuffer[9] = {};
    uchar replyBuffer[9] = {};
    uchar bulkBuffer[512] = {};

    bool waitHidReady();
    void settlePause();
    hid_device *openCommandPath(int index);
    hid_device *openNotifyPath(int index);
    void closeCommandPath();
    void closeNotifyPath();
    bool sendCommand(int dataLength, bool settle);
    bool queryCommand(int dataLength);

    void startDeviceWatch(uint index);
    void stopDeviceWatch();
    void deviceWatchLoop(uint index);

    // Waits until a watch loop has ended (within one read time-out after
    // stopDeviceWatch). Must not be called from the watch thread.
    void joinDeviceWatch();
    // Discovery's way to replace the device table: lets a stopping loop end
    // first, then swaps the list under the entry lock.
    void replaceDeviceList(const QList<DeviceEntry> &list);
    // A consistent copy of one entry (the watch thread may empty its
    // notifyPath at any time); a default entry when index is outside the list.
    DeviceEntry deviceEntry(int index) const;

    // chkDeviceIsEnCode with its outcome.
    Handshake handshake(int index);

    PauseTally pauses() const { return pauseTally; }
    // What the last failed exchange could not do, with the HID library's
    // reason where it gave one; empty once an exchange completes.
    QString lastFailure() const { return failure; }

    // Longest data block any command moves, and the largest report payload
    // an entry may declare (report buffers are sized per exchange).
    static constexpr int MaxBlockLength = 128;
    static constexpr int MaxReportLength = 4096;

    // The commands with their outcome, for the program's own callers; the
    // slots below are silent wrappers around them. Arguments and effects are
    // those of the slots of the same name.
    class Reporting
    {
    public:
        Exchange hid553_01H_SetReportRate(uchar rate);
        Exchange hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix);
        Exchange hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
        Exchange hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
        Exchange hid553_07H_Lod(uchar stage, uchar en);
        Exchange hid553_0BH_SetCurrentDPI(uchar stage);
        Exchange hid553_0CH_SetFixLEDColor(uchar *src3);
        Exchange hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2);
        Exchange hid553_10H_SetLED8StageColor(uchar type, uchar *src24);
        Exchange hid553_11H_SetDPISet(uchar dpiStage, uchar *src8);
        Exchange hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne);
        Exchange hid553_13H_SetMacroKey(uchar macroId, uchar *src128);
        Exchange hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
        Exchange hid553_8BH_GetCurrentDPI(uchar &byte1);

        Exchange hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2);
        Exchange hid560_02H_SetCurrentProfile(uchar profile);
        // The series: Failed when any of its frames failed.
        Exchange hid560_03H_SetReportRate(uchar rate);
        Exchange hid560_04H_SetCurrentDPI(uchar stage);
        Exchange hid560_0CH_setProfile(uchar *src128, uchar profileData);
        Exchange hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne);
        Exchange hid560_0FH_SetMacroKey(uchar macroId, uchar *src128);
        Exchange hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2);
        Exchange hid560_82H_GetCurrentProfile(uchar &byte1);
        Exchange hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2);
        Exchange hid560_8CH_readProfile(uchar *src128, uchar profileNo);

    private:
        friend class Hid_Thread;
        explicit Reporting(Hid_Thread &link) : link(link) {}
        Hid_Thread &link;
    };
    Reporting reporting() { return Reporting(*this); }

public slots:
    uchar hidCS(uchar *cmd);
    bool chkDeviceIsEnCode(int index);
    void USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[]);
    void USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[]);

    void hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid553_01H_SetReportRate(uchar rate);
    void hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix);
    void hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid553_07H_Lod(uchar stage, uchar en);
    void hid553_0BH_SetCurrentDPI(uchar stage);
    void hid553_0CH_SetFixLEDColor(uchar *src3);
    void hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2);
    void hid553_10H_SetLED8StageColor(uchar type, uchar *src24);
    void hid553_11H_SetDPISet(uchar dpiStage, uchar *src8);
    void hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid553_13H_SetMacroKey(uchar macroId, uchar *src128);
    void hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid553_8BH_GetCurrentDPI(uchar &byte1);

    void hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2);
    void hid560_02H_SetCurrentProfile(uchar profile);
    void hid560_03H_SetReportRate(uchar rate);
    void hid560_04H_SetCurrentDPI(uchar stage);
    void hid560_0CH_setProfile(uchar *src128, uchar profileData);
    void hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid560_0FH_SetMacroKey(uchar macroId, uchar *src128);
    void hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2);
    void hid560_82H_GetCurrentProfile(uchar &byte1);
    void hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2);
    void hid560_8CH_readProfile(uchar *src128, uchar profileNo);

private:
    using SetDescriptor = hidcmd::SetDescriptor;
    using QueryDescriptor = hidcmd::QueryDescriptor;
    struct LinkParams
    {
        int reportLength = 0;
        bool isEncode = false;
    };

    // Entry fields shared with the watch thread, read and written under
    // entryMutex.
    bool entryAt(int index, DeviceEntry &entry) const;
    QString entryPath(int index, QString DeviceEntry::*field) const;
    void clearEntryPath(int index, QString DeviceEntry::*field, const QString &failed);
    LinkParams linkParams(int index) const;
    hid_device *openPath(int index, QString DeviceEntry::*field, hid_device *&handle);
    bool sendFrame(LinkParams &link);
    bool finishExchange(bool ok);
    // Notes which step failed (reading the library's reason from the handle
    // before it closes) and ends the exchange as failed.
    bool failExchange(hid_device *handle, const char *step);

    // The command patterns: a set (optionally with a block), a query of
    // reply bytes 2 onwards, and the repeated per-target set.
    void loadFrame(uchar code, const frame::Params &params);
    Exchange runSet(const SetDescriptor &command, const frame::Params &params,
                    const uchar *block = nullptr, int blockLength = 0);
    Exchange runQuery(const QueryDescriptor &command, const frame::Params &params,
                      std::initializer_list<uchar *> outs);
    Exchange runSeries(const SetDescriptor &command, uchar value);
    Exchange querySecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void notifyStage(int stage);

    QString failure;
    // Sleeps for one of the protocol's pauses and counts it.
    void protocolPause(unsigned long milliseconds);
    // Written by the commands only, on the caller's thread.
    PauseTally pauseTally;

    mutable QMutex entryMutex;
    // Release/acquire pair around each hand-over between this thread and the
    // watch loop (start, and end seen by the join). The pool's own hand-over
    // gives the same guarantee, but inside Qt, where ThreadSanitizer cannot
    // see it.
    std::atomic<unsigned> watchHandOver{0};
};
