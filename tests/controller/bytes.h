#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// Byte sequences as "01 00 F0 00" so that a failed comparison shows them.
template <typename Container>
QString hexBytes(const Container &bytes, int from = 0, int count = -1)
{
    QStringList parts;
    const int end = count < 0 ? int(bytes.size()) : from + count;
    for (int i = from; i < end; ++i)
        parts << QStringLiteral("%1").arg(unsigned(std::uint8_t(bytes[i])), 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char(' '));
}

inline QString hexRaw(const std::uint8_t *bytes, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QStringLiteral("%1").arg(unsigned(bytes[i]), 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char(' '));
}
