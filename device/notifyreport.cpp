#include "notifyreport.h"

namespace notify {

namespace {
constexpr int IdPos = 0;
constexpr int KindPos = 1;
constexpr int StagePos = 3;
constexpr uchar ReportId = 0x06;
constexpr uchar DpiStageKind = 0x07;

constexpr int FirstStageWithText = 1;
constexpr int LastStageWithText = 7;
constexpr int SharedTextIndex = 7;
} // namespace

int dpiStage(const uchar *report, int length)
{
    if (!report || length != ReportSize || report[IdPos] != ReportId || report[KindPos] != DpiStageKind)
        return NoStage;
    return report[StagePos];
}

int eventTextIndex(int stage)
{
    return stage >= FirstStageWithText && stage <= LastStageWithText ? stage - FirstStageWithText
                                                                     : SharedTextIndex;
}

} // namespace notify
