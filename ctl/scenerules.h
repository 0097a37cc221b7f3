#pragma once

#include <QVariantList>
#include <QtGlobal>

// The scene's own conversions that r770ctl needs in order to store and send
// what the window would. They are written out here only until the scene's
// module of formulas (modules/qml/basic/formulas.mjs) lands; then each of
// these loads that module with QJSEngine::importModule and calls its
// function, so that the window and r770ctl share one copy of every rule.
namespace scenerules {

// The lift-off slider: positions 3 to 89, stored as "mouse/reportRate".
constexpr int liftOffFirstPosition = 3;
constexpr int liftOffLastPosition = 89;

// The distance the window shows for a slider position, in mm.
double liftOffMillimetres(int position);
// The slider position whose shown distance is nearest to `millimetres`.
int liftOffPosition(double millimetres);
// The value mouseSetReportRate sends for a slider position.
uchar liftOffRate(int position);

// The 24 colour values the lighting page sends for the stored ones: the
// eighth colour is blanked on an is55328 mouse unless effect 4 is chosen.
QVariantList coloursToSend(const QVariantList &colours, int effect, bool is55328);

} // namespace scenerules
