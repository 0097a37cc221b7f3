#pragma once

#include <QtGlobal>

// The report the mouse sends on its notification interface when its DPI
// stage changes: 06 07 xx stage (report id first).
namespace notify {

constexpr int ReportSize = 4;
constexpr int NoStage = -1;

// The stage a read of `length` bytes reports, or NoStage when it brought
// anything else (another id or kind, or not exactly four bytes).
int dpiStage(const uchar *report, int length);

// Which device-event text announces a stage: stages 1 to 7 have their own,
// every other stage shares the last.
int eventTextIndex(int stage);

} // namespace notify
