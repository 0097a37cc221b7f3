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

bool completed(Exchange exchange)
{
    return exchange == Exchange::Completed;
}

} // namespace

CommandSet ControllerCore::commandSet() const
{
    return icType == QLatin1String(hid560Type) ? CommandSet::hid560 : CommandSet::hid553;
}

bool ControllerCore::linkIsGun() const
{
    return isGun;
}

QString ControllerCore::linkIcType() const
{
    return icType;
}

void ControllerCore::setHidLink(Hid_Thread *link)
{
    if (hidLink && hidLink != link && hidLink->flags == this)
        hidLink->flags = nullptr;
    hidLink = link;
    if (link)
        link->flags = this;
}

bool ControllerCore::sendProfileBlocks(const std::vector<int> &blocks)
{
    if (!hidLink)
        return false;
    bool sent = true;
    for (int b : blocks) {
        unsentBlocks.mark(b, profileImages[b]);
        if (flowDepth == 0)
            sent = sendMarkedBlock(b) && sent;
    }
    return sent;
}

bool ControllerCore::sendMarkedBlock(int block)
{
    // The link takes the bytes to send as writable: it gets a copy.
    profileimage::Block bytes;
    std::copy_n(unsentBlocks.bytes(block), profileimage::blockSize, bytes);
    if (!completed(hidLink->reporting().hid560_0CH_setProfile(bytes, static_cast<uchar>(block))))
        return false;
    unsentBlocks.clear(block);
    return true;
}

void ControllerCore::mouseBeginFlow()
{
    ++flowDepth;
}

bool ControllerCore::mouseEndFlow()
{
    if (flowDepth == 0) {
        debugLine("mouseEndFlow refused");
        return false;
    }
    if (--flowDepth > 0)
        return true;
    const std::vector<int> marked = unsentBlocks.marked();
    if (!hidLink)
        return marked.empty();
    bool sent = true;
    for (int b : marked)
        sent = sendMarkedBlock(b) && sent;
    return sent;
}

bool ControllerCore::sendKeyMatrix(uchar *matrix, uchar index)
{
    if (commandSet() == CommandSet::hid560)
        return completed(hidLink->reporting().hid560_0DH_SetKeyMatrix(matrix, index));
    return completed(hidLink->reporting().hid553_12H_SetKeyMatrix(matrix, index));
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

bool ControllerCore::mouseSendMacroData(const QVariantList &macroData, uint macroIndex)
{
    const auto id = macroblock::macroId(macroIndex & lowByte);
    if (!hidLink || !id)
        return false;
    macroblock::Block block = macroblock::macroBlock(ints(macroData));
    if (commandSet() == CommandSet::hid560)
        return completed(hidLink->reporting().hid560_0FH_SetMacroKey(*id, block.data()));
    return completed(hidLink->reporting().hid553_13H_SetMacroKey(*id, block.data()));
}

bool ControllerCore::mouseSendGundata(int mode, const QVariantList &data)
{
    if (!isGun || !hidLink)
        return false;
    const std::vector<int> values = ints(data);
    const int shots = listvalues::at(values, 0);
    const int x = listvalues::at(values, 1);
    if (commandSet() == CommandSet::hid553) {
        const unsigned y = listvalues::at(uints(data), 2);
        uchar options[keyOptionCount] = {};
        // Options that could not be read stay zero; the data goes regardless.
        const bool read = completed(
            hidLink->reporting().hid553_83H_GetKeyboardoption(options[0], options[1], options[2], options[3]));
        const auto bytes =
            macroblock::hid553GunBytes(shots, x, y, mode, options[negateYOption] != 0);
        return completed(hidLink->reporting().hid553_04H_SetGunData(bytes[0], bytes[1], bytes[2], bytes[3]))
               && read;
    }
    // Recoil modes 1 to 3 live in device profiles 2 to 4.
    const std::vector<int> blocks =
        profileimage::applyRecoil(profileImages, mode, shots, x, listvalues::at(values, 2));
    if (blocks.empty()) {
        debugLine("mouseSendGundata refused", mode);
        return false;
    }
    return sendProfileBlocks(blocks);
}

bool ControllerCore::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    return hidLink && completed(hidLink->reporting().hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4));
}

bool ControllerCore::mouseSetReportRate(uchar rate, uchar en)
{
    debugLine("test", int(rate), int(en));
    return hidLink && completed(hidLink->reporting().hid553_07H_Lod(rate, en));
}

bool ControllerCore::mouseSetCurrentDPI(uchar currentDPI)
{
    if (!hidLink)
        return false;
    if (commandSet() == CommandSet::hid560)
        return completed(hidLink->reporting().hid560_04H_SetCurrentDPI(currentDPI));
    return completed(hidLink->reporting().hid553_0BH_SetCurrentDPI(currentDPI));
}

bool ControllerCore::mouseResetKeyMatrix()
{
    if (!hidLink)
        return false;
    keymatrix::Matrix f = firmwareMatrix();
    bool sent = true;
    for (int index = keymatrix::firstRecoilMatrix; index <= keymatrix::lastMatrix; ++index)
        sent = sendKeyMatrix(f.data(), static_cast<uchar>(index)) && sent;
    return sent;
}

std::optional<int> ControllerCore::readCurrentDPI()
{
    if (!hidLink)
        return std::nullopt;
    uchar stage = 0;
    Exchange exchange;
    if (commandSet() == CommandSet::hid560) {
        uchar selector = 1;
        exchange = hidLink->reporting().hid560_84H_GetCurrentDPI(selector, stage);
    } else {
        exchange = hidLink->reporting().hid553_8BH_GetCurrentDPI(stage);
    }
    return completed(exchange) ? std::optional<int>(stage) : std::nullopt;
}

int ControllerCore::mouseGetCurrentDPI()
{
    // The stage the query was given (0) when the mouse did not answer.
    return readCurrentDPI().value_or(0);
}

bool ControllerCore::mouseSetKeyMatrix(const QVariantList &src64, bool isSendData,
                                       const QVariantList &otherParam)
{
    for (int n = 0; n < keymatrix::entryCount; ++n) {
        QVariantList entry;
        for (int i = 0; i < keymatrix::entrySize; ++i)
            entry << src64.value(n * keymatrix::entrySize + i, QVariant(0));
        setDataList(QLatin1String(keyMatrixKey) + QString::number(n), entry);
    }
    if (!isSendData)
        return true;
    if (!hidLink)
        return false;

    const CommandSet set = commandSet();
    keymatrix::Matrix m = keymatrix::deviceMatrix(ints(src64), set);
    if (!keymatrix::hasRecoilKey(m))
        return sendKeyMatrix(m.data(), keymatrix::mainMatrix);
    keymatrix::RecoilSet r = keymatrix::recoilSet(m, firmwareMatrix(), uints(otherParam), set);
    bool sent = true;
    if (set == CommandSet::hid560) {
        if (r.recoilMask)
            profileImages[profileimage::colourfulBlock][profileimage::offset::recoilMask] = *r.recoilMask;
        sent = sendProfileBlocks({profileimage::colourfulBlock});
    }
    uchar *const matrices[] = {r.m.data(), r.f.data(), r.f2.data(), r.f3.data()};
    for (int i = 0; i < keymatrix::lastMatrix; ++i)
        sent = sendKeyMatrix(matrices[i], static_cast<uchar>(keymatrix::mainMatrix + i)) && sent;
    const Exchange selected = set == CommandSet::hid560
                                  ? hidLink->reporting().hid560_02H_SetCurrentProfile(keymatrix::mainMatrix)
                                  : hidLink->reporting().hid553_02H_SetCurrentKeyMatrix(keymatrix::mainMatrix);
    return completed(selected) && sent;
}

bool ControllerCore::mouseSetDpi(int dpiCount, const QString &sensorType,
                                 const QVariantList &dpiValueArray)
{
    if (!hidLink)
        return false;
    const std::string sensor = sensorType.toStdString();
    const dpicodes::Stages stages = dpicodes::encodeStages(sensor, ints(dpiValueArray));
    if (commandSet() == CommandSet::hid553) {
        auto codes = dpicodes::hid553Codes(stages, dpiCount);
        return completed(hidLink->reporting().hid553_11H_SetDPISet(static_cast<uchar>(dpiCount), codes.data()));
    }
    return sendProfileBlocks(profileimage::applyDpi(profileImages, stages, dpiCount,
                                                    dpicodes::usesHighBits(sensor), isGun));
}

bool ControllerCore::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
    if (!hidLink)
        return false;
    const lighting::EffectBytes e = isColorful
                                        ? lighting::colourfulEffect(effect, option1, option2)
                                        : lighting::simpleEffect(effect, option1, option2);
    if (commandSet() == CommandSet::hid560)
        return sendProfileBlocks(profileimage::applyEffect(profileImages, e, isColorful, isGun));
    const uchar third = isColorful ? e.third : lighting::hid553SimpleThird(e, is55328);
    return completed(hidLink->reporting().hid553_0DH_SetRGBLedEffect(e.mode, e.value, third));
}

bool ControllerCore::mouseSetRGBColor(uchar type, const QVariantList &src24)
{
    if (!hidLink)
        return false;
    lighting::Colours colours = lighting::deviceColours(ints(src24));
    if (commandSet() == CommandSet::hid560)
        return sendProfileBlocks(profileimage::applyColours(profileImages, colours, isColorful));
    Hid_Thread::Reporting link = hidLink->reporting();
    switch (lighting::hid553ColourCommand(colours, is55328)) {
    case lighting::Hid553ColourCommand::stageColoursTwice: {
        const bool first = completed(link.hid553_10H_SetLED8StageColor(type, colours.data()));
        return completed(link.hid553_10H_SetLED8StageColor(type, colours.data())) && first;
    }
    case lighting::Hid553ColourCommand::stageColoursOnce:
        return completed(link.hid553_10H_SetLED8StageColor(lighting::singleStageColourType, colours.data()));
    case lighting::Hid553ColourCommand::fixedColour:
        return completed(link.hid553_0CH_SetFixLEDColor(colours.data()));
    }
    return false;
}

bool ControllerCore::mouseSetProfile(uint profileNo)
{
    if (!profileimage::isBlock(profileNo)) {
        debugLine("mouseSetProfile refused", profileNo);
        return false;
    }
    return sendProfileBlocks({int(profileNo)});
}

bool ControllerCore::mouseReadProfile(uint profileNo)
{
    if (!profileimage::isBlock(profileNo)) {
        debugLine("mouseReadProfile refused", profileNo);
        return false;
    }
    return hidLink
           && completed(hidLink->reporting().hid560_8CH_readProfile(profileImages[profileNo],
                                                                    static_cast<uchar>(profileNo)));
}

std::optional<int> ControllerCore::readCurrentProfile()
{
    uchar profile = 0;
    if (!hidLink || !completed(hidLink->reporting().hid560_82H_GetCurrentProfile(profile)))
        return std::nullopt;
    return profile;
}

int ControllerCore::mouseReadCurrentProfile()
{
    return readCurrentProfile().value_or(0);
}

bool ControllerCore::mouseSwitchKeyMatrix(int indexNo)
{
    if (!hidLink)
        return false;
    if (commandSet() == CommandSet::hid560)
        return completed(hidLink->reporting().hid560_02H_SetCurrentProfile(static_cast<uchar>(indexNo)));
    return completed(hidLink->reporting().hid553_02H_SetCurrentKeyMatrix(static_cast<uchar>(indexNo - 1)));
}

std::optional<QVariantList> ControllerCore::readKeyboardOptions()
{
    uchar options[keyOptionCount] = {};
    if (!hidLink
        || !completed(hidLink->reporting().hid553_83H_GetKeyboardoption(options[0], options[1], options[2],
                                                                        options[3])))
        return std::nullopt;
    QVariantList list;
    for (uchar b : options)
        list << int(b);
    return list;
}

QVariantList ControllerCore::GetKeyboardoption()
{
    // Zeros, the query's starting values, when the mouse did not answer.
    return readKeyboardOptions().value_or(QVariantList(keyOptionCount, QVariant(0)));
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
