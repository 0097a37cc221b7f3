#include "scenerules.h"

#include <cmath>

namespace scenerules {

namespace {
constexpr int positionSpan = liftOffLastPosition - liftOffFirstPosition; // 86
constexpr double spanMillimetres = 2.0;
constexpr int highestRate = 125;
constexpr int rateSpan = 35;

constexpr int colourValues = 24;
constexpr int eighthColour = 21;
constexpr int effectKeepingEighthColour = 4;
} // namespace

double liftOffMillimetres(int position)
{
    return (position - liftOffFirstPosition) * spanMillimetres / positionSpan;
}

int liftOffPosition(double millimetres)
{
    const int position = liftOffFirstPosition + int(std::lround(millimetres * positionSpan / spanMillimetres));
    return qBound(liftOffFirstPosition, position, liftOffLastPosition);
}

uchar liftOffRate(int position)
{
    return uchar(highestRate - (position - liftOffFirstPosition) * rateSpan / positionSpan);
}

QVariantList coloursToSend(const QVariantList &colours, int effect, bool is55328)
{
    QVariantList out = colours.mid(0, colourValues);
    if (is55328 && effect != effectKeepingEighthColour)
        for (int i = eighthColour; i < out.size(); ++i)
            out[i] = 0;
    return out;
}

} // namespace scenerules
