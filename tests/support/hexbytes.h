#pragma once

// Bytes as "01 00 F0 00", so that a failed comparison shows them: all of
// them, or `count` from `from`.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <iterator>

template <typename Bytes>
QString hexBytes(const Bytes &bytes, int from = 0, int count = -1)
{
    QStringList parts;
    const int end = count < 0 ? int(std::size(bytes)) : from + count;
    for (int i = from; i < end; ++i)
        parts << QString::number(uint8_t(bytes[i]), 16).rightJustified(2, '0').toUpper();
    return parts.join(' ');
}
