#include "controllercore.h"

#include "debugline.h"
#include "dpicodes.h"
#include "hid_thread.h"
#include "inivalue.h"
#include "keymatrix.h"
#include "lighting.h"
#include "listvalues.h"
#include "macroblock.h"
#include "pointersettings.h"
#include "profileimage.h"

#include <QSettings>

#include <algorithm>

namespace {

const char *const keyMatrixKey = "mouseKeyMatrix/";
const char *const firmwareMatrixKey = "mouseFwKeyMatrix/";
const char *const hid560Type = "560";

constexpr int keyOptionCount = 4;
constexpr unsigned lowByte = 0xFF;
// The keyboard-option byte that asks for the recoil Y offset to be negated.
constexpr int negateYOption = 2;

// Scene lists as plain values: each entry with toInt() (or toUInt()).
std::vector<int> ints(const QVariantList &list)
{
    std::vector<int> values;
    values.reserve(list.size());
    for (const QVariant &v : list)
        values.push_back(v.toInt());
    return values;
}

std::vector<unsigned> uints(const QVariantList &list)
{
    std::vector<unsigned> values;
    values.reserve(list.size());
    for (const QVariant &v : list)
        values.push_back(v.toUInt());
    return values;
}

// Stored list elements are texts; numbers go back to the scene as numbers.
QVariantList asNumbers(const QVariantList &list)
{
    QVariantList out;
    out.reserve(list.size());
    for (const QVariant &v : list) {
        bool ok = false;
        const int n = v.toInt(&ok);
        out << (ok ? QVariant(n) : v);
    }
    return out;
}

} // namespace

CommandSet ControllerCore::commandSet() const
{
    return icType == QLatin1String(hid560Type) ? CommandSet::hid560 : CommandSet::hid553;
}

void ControllerCore::sendProfileBlocks(const std::vector<int> &blocks)
{
    if (!hidLink)
        return;
    for (int b : blocks) {
        unsentBlocks.mark(b, profileImages[b]);
        if (flowDepth == 0)
            sendMarkedBlock(b);
    }
}

void ControllerCore::sendMarkedBlock(int block)
{
    const unsigned failedBefore = hidLink->tally().failed;
    // The link takes the bytes to send as writable: it gets a copy.
    profileimage::Block bytes;
    std::copy_n(unsentBlocks.bytes(block), profileimage::blockSize, bytes);
    hidLink->hid560_0CH_setProfile(bytes, static_cast<uchar>(block));
    if (hidLink->tally().failed == failedBefore)
        unsentBlocks.clear(block);
}

void ControllerCore::mouseBeginFlow()
{
    ++flowDepth;
}

void ControllerCore::mouseEndFlow()
{
    if (flowDepth == 0) {
        debugLine("mouseEndFlow refused");
        return;
    }
    if (--flowDepth > 0 || !hidLink)
        return;
    for (int b : unsentBlocks.marked())
        sendMarkedBlock(b);
}

void ControllerCore::sendKeyMatrix(uchar *matrix, uchar index)
{
    if (commandSet() == CommandSet::hid560)
        hidLink->hid560_0DH_SetKeyMatrix(matrix, index);
    else
        hidLink->hid553_12H_SetKeyMatrix(matrix, index);
}

keymatrix::Matrix ControllerCore::firmwareMatrix() const
{
    QSettings *settings = currentProfileSettings();
    std::vector<int> values(keymatrix::matrixSize, 0);
    for (int n = 0; n < keymatrix::entryCount; ++n) {
        const QString key = QLatin1String(firmwareMatrixKey) + QString::number(n);
        const std::vector<int> entry = ints(ini::toList(settings->value(key)));
        for (int i = 0; i < keymatrix::entrySize && i < int(entry.size()); ++i)
            values[n * keymatrix::entrySize + i] = entry[i];
    }
    return keymatrix::matrixFromValues(values);
}

void ControllerCore::mouseSendMacroData(const QVariantList &macroData, uint macroIndex)
{
    const auto id = macroblock::macroId(macroIndex & lowByte);
    if (hidLink && id) {
        macroblock::Block block = macroblock::macroBlock(ints(macroData));
        if (commandSet() == CommandSet::hid560)
            hidLink->hid560_0FH_SetMacroKey(*id, block.data());
        else
            hidLink->hid553_13H_SetMacroKey(*id, block.data());
    }
}

void ControllerCore::mouseSendGundata(int mode, const QVariantList &data)
{
    if (!isGun || !hidLink)
        return;
    const std::vector<int> values = ints(data);
    const int shots = listvalues::at(values, 0);
    const int x = listvalues::at(values, 1);
    if (commandSet() == CommandSet::hid553) {
        const unsigned y = listvalues::at(uints(data), 2);
        uchar options[keyOptionCount] = {};
        hidLink->hid553_83H_GetKeyboardoption(options[0], options[1], options[2], options[3]);
        const auto bytes =
            macroblock::hid553GunBytes(shots, x, y, mode, options[negateYOption] != 0);
        hidLink->hid553_04H_SetGunData(bytes[0], bytes[1], bytes[2], bytes[3]);
        return;
    }
    // Recoil modes 1 to 3 live in device profiles 2 to 4.
    const std::vector<int> blocks =
        profileimage::applyRecoil(profileImages, mode, shots, x, listvalues::at(values, 2));
    if (blocks.empty())
        debugLine("mouseSendGundata refused", mode);
    sendProfileBlocks(blocks);
}

void ControllerCore::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    if (hidLink)
        hidLink->hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

void ControllerCore::mouseSetReportRate(uchar rate, uchar en)
{
    debugLine("test", int(rate), int(en));
    if (hidLink)
        hidLink->hid553_07H_Lod(rate, en);
}

void ControllerCore::mouseSetCurrentDPI(uchar currentDPI)
{
    if (!hidLink)
        return;
    if (commandSet() == CommandSet::hid560)
        hidLink->hid560_04H_SetCurrentDPI(currentDPI);
    else
        hidLink->hid553_0BH_SetCurrentDPI(currentDPI);
}

void ControllerCore::mouseResetKeyMatrix()
{
    if (!hidLink)
        return;
    keymatrix::Matrix f = firmwareMatrix();
    for (int index = keymatrix::firstRecoilMatrix; index <= keymatrix::lastMatrix; ++index)
        sendKeyMatrix(f.data(), static_cast<uchar>(index));
}

int ControllerCore::mouseGetCurrentDPI()
{
    uchar stage = 0;
    if (hidLink) {
        if (commandSet() == CommandSet::hid560) {
            uchar selector = 1;
            hidLink->hid560_84H_GetCurrentDPI(selector, stage);
        } else {
            hidLink->hid553_8BH_GetCurrentDPI(stage);
        }
    }
    return stage;
}

void ControllerCore::mouseSetKeyMatrix(const QVariantList &src64, bool isSendData,
                                       const QVariantList &otherParam)
{
    for (int n = 0; n < keymatrix::entryCount; ++n) {
        QVariantList entry;
        for (int i = 0; i < keymatrix::entrySize; ++i)
            entry << src64.value(n * keymatrix::entrySize + i, QVariant(0));
        setDataList(QLatin1String(keyMatrixKey) + QString::number(n), entry);
    }
    if (!isSendData || !hidLink)
        return;

    const CommandSet set = commandSet();
    keymatrix::Matrix m = keymatrix::deviceMatrix(ints(src64), set);
    if (!keymatrix::hasRecoilKey(m)) {
        sendKeyMatrix(m.data(), keymatrix::mainMatrix);
        return;
    }
    keymatrix::RecoilSet r = keymatrix::recoilSet(m, firmwareMatrix(), uints(otherParam), set);
    if (set == CommandSet::hid560) {
        if (r.recoilMask)
            profileImages[profileimage::colourfulBlock][profileimage::offset::recoilMask] = *r.recoilMask;
        sendProfileBlocks({profileimage::colourfulBlock});
    }
    uchar *const matrices[] = {r.m.data(), r.f.data(), r.f2.data(), r.f3.data()};
    for (int i = 0; i < keymatrix::lastMatrix; ++i)
        sendKeyMatrix(matrices[i], static_cast<uchar>(keymatrix::mainMatrix + i));
    if (set == CommandSet::hid560)
        hidLink->hid560_02H_SetCurrentProfile(keymatrix::mainMatrix);
    else
        hidLink->hid553_02H_SetCurrentKeyMatrix(keymatrix::mainMatrix);
}

void ControllerCore::mouseSetDpi(int dpiCount, const QString &sensorType,
                                 const QVariantList &dpiValueArray)
{
    if (!hidLink)
        return;
    const std::string sensor = sensorType.toStdString();
    const dpicodes::Stages stages = dpicodes::encodeStages(sensor, ints(dpiValueArray));
    if (commandSet() == CommandSet::hid553) {
        auto codes = dpicodes::hid553Codes(stages, dpiCount);
        hidLink->hid553_11H_SetDPISet(static_cast<uchar>(dpiCount), codes.data());
        return;
    }
    sendProfileBlocks(profileimage::applyDpi(profileImages, stages, dpiCount,
                                             dpicodes::usesHighBits(sensor), isGun));
}

void ControllerCore::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
    if (!hidLink)
        return;
    const lighting::EffectBytes e = isColorful
                                        ? lighting::colourfulEffect(effect, option1, option2)
                                        : lighting::simpleEffect(effect, option1, option2);
    if (commandSet() == CommandSet::hid560) {
        sendProfileBlocks(profileimage::applyEffect(profileImages, e, isColorful, isGun));
        return;
    }
    const uchar third = isColorful ? e.third : lighting::hid553SimpleThird(e, is55328);
    hidLink->hid553_0DH_SetRGBLedEffect(e.mode, e.value, third);
}

void ControllerCore::mouseSetRGBColor(uchar type, const QVariantList &src24)
{
    if (!hidLink)
        return;
    lighting::Colours colours = lighting::deviceColours(ints(src24));
    if (commandSet() == CommandSet::hid560) {
        sendProfileBlocks(profileimage::applyColours(profileImages, colours, isColorful));
        return;
    }
    switch (lighting::hid553ColourCommand(colours, is55328)) {
    case lighting::Hid553ColourCommand::stageColoursTwice:
        hidLink->hid553_10H_SetLED8StageColor(type, colours.data());
        hidLink->hid553_10H_SetLED8StageColor(type, colours.data());
        break;
    case lighting::Hid553ColourCommand::stageColoursOnce:
        hidLink->hid553_10H_SetLED8StageColor(lighting::singleStageColourType, colours.data());
        break;
    case lighting::Hid553ColourCommand::fixedColour:
        hidLink->hid553_0CH_SetFixLEDColor(colours.data());
        break;
    }
}

void ControllerCore::mouseSetProfile(uint profileNo)
{
    if (!profileimage::isBlock(profileNo)) {
        debugLine("mouseSetProfile refused", profileNo);
        return;
    }
    sendProfileBlocks({int(profileNo)});
}

void ControllerCore::mouseReadProfile(uint profileNo)
{
    if (!profileimage::isBlock(profileNo)) {
        debugLine("mouseReadProfile refused", profileNo);
        return;
    }
    if (hidLink)
        hidLink->hid560_8CH_readProfile(profileImages[profileNo], static_cast<uchar>(profileNo));
}

int ControllerCore::mouseReadCurrentProfile()
{
    uchar profile = 0;
    if (hidLink)
        hidLink->hid560_82H_GetCurrentProfile(profile);
    return profile;
}

void ControllerCore::mouseSwitchKeyMatrix(int indexNo)
{
    if (!hidLink)
        return;
    if (commandSet() == CommandSet::hid560)
        hidLink->hid560_02H_SetCurrentProfile(static_cast<uchar>(indexNo));
    else
        hidLink->hid553_02H_SetCurrentKeyMatrix(static_cast<uchar>(indexNo - 1));
}

QVariantList ControllerCore::GetKeyboardoption()
{
    uchar options[keyOptionCount] = {};
    if (hidLink)
        hidLink->hid553_83H_GetKeyboardoption(options[0], options[1], options[2], options[3]);
    QVariantList list;
    for (uchar b : options)
        list << int(b);
    return list;
}

bool ControllerCore::pointerSettingAvailable(const QString &setting) const
{
    using Setting = PointerSettings::Setting;
    if (setting == QLatin1String("cursorSpeed"))
        return pointerSettings->has(Setting::Speed);
    if (setting == QLatin1String("doubleClickSpeed"))
        return pointerSettings->has(Setting::DoubleClickTime);
    if (setting == QLatin1String("verticalScrollLines"))
        return pointerSettings->has(Setting::WheelScrollLines);
    return false;
}

// A setting the desktop does not have is not attempted: it cannot fail.
void ControllerCore::mouseSetCursorSpeed(uint cursorSpeed)
{
    if (pointerSettings->has(PointerSettings::Setting::Speed)
        && !pointerSettings->setMouseSpeed(pointervalues::windowsSpeed(cursorSpeed)))
        debugLine("setCursorSpeed Failed");
}

void ControllerCore::mouseSetVerticalScrollLines(uint lines)
{
    if (pointerSettings->has(PointerSettings::Setting::WheelScrollLines)
        && !pointerSettings->setWheelScrollLines(lines))
        debugLine("setVerticalScrollLines Failed");
}

void ControllerCore::mouseSetDoubleClickSpeed(uint speed)
{
    if (!pointerSettings->has(PointerSettings::Setting::DoubleClickTime))
        return;
    // A step beyond the slowest time would wrap to a huge time: refuse it.
    const std::optional<unsigned> time = pointervalues::doubleClickTime(speed);
    if (!time || !pointerSettings->setDoubleClickTime(*time))
        debugLine("setDoubleClickSpeed Failed");
}

QVariantList ControllerCore::mouseGetKeydefine(const QString &index, bool isRecovery)
{
    QSettings *settings = isRecovery ? factorySettings : currentProfileSettings();
    const QString key = QLatin1String(keyMatrixKey) + index;
    return asNumbers(ini::toList(settings->value(key, QVariant(0))));
}
