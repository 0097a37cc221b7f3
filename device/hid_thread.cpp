#include "hid_thread.h"

// Placeholder bodies; the link replaces them.

uchar secrecyKey[8] = {};

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent) {}
Hid_Thread::~Hid_Thread() = default;

bool Hid_Thread::waitHidReady()
{
    return {};
}

void Hid_Thread::settlePause()
{
}

hid_device * Hid_Thread::openCommandPath(int index)
{
    return nullptr;
}

hid_device * Hid_Thread::openNotifyPath(int index)
{
    return nullptr;
}

void Hid_Thread::closeCommandPath()
{
}

void Hid_Thread::closeNotifyPath()
{
}

bool Hid_Thread::sendCommand(int dataLength, bool settle)
{
    return {};
}

bool Hid_Thread::queryCommand(int dataLength)
{
    return {};
}

void Hid_Thread::startDeviceWatch(uint index)
{
}

void Hid_Thread::stopDeviceWatch()
{
}

void Hid_Thread::deviceWatchLoop(uint index)
{
}

uchar Hid_Thread::hidCS(uchar *cmd)
{
    return {};
}

bool Hid_Thread::chkDeviceIsEnCode(int index)
{
    return {};
}

void Hid_Thread::USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[])
{
}

void Hid_Thread::USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[])
{
}

void Hid_Thread::hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
}

void Hid_Thread::hid553_01H_SetReportRate(uchar rate)
{
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix)
{
}

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
}

void Hid_Thread::hid553_07H_Lod(uchar stage, uchar en)
{
}

void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar stage)
{
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3)
{
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
}

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24)
{
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128)
{
}

void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
}

void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &byte1)
{
}

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile)
{
}

void Hid_Thread::hid560_03H_SetReportRate(uchar rate)
{
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage)
{
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
}

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1)
{
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2)
{
}

void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo)
{
}

