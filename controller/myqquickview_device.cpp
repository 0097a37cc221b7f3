#include "myqquickview.h"

// Placeholder bodies; the device operations replace them.

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex)
{
    return QVariant();
}

void myQQuickView::mouseSendGundata(int, QVariantList)
{
}

void myQQuickView::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
}

void myQQuickView::mouseSetReportRate(uchar rate, uchar en)
{
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI)
{
}

void myQQuickView::mouseResetKeyMatrix()
{
}

QVariant myQQuickView::mouseGetCurrentDPI()
{
    return QVariant();
}

void myQQuickView::mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam)
{
}

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)
{
}

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24)
{
}

void myQQuickView::mouseSetProfile(uint profileNo)
{
}

void myQQuickView::mouseReadProfile(uint profileNo)
{
}

QVariant myQQuickView::mouseReadCurrentProfile()
{
    return QVariant();
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo)
{
}

QVariantList myQQuickView::GetKeyboardoption()
{
    return QVariantList();
}

void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed)
{
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines)
{
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed)
{
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool)
{
    return QVariantList();
}

