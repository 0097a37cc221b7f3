#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// Bytes as "01 00 F0 00" so that a failed comparison shows them.
inline QString hexRaw(const std::uint8_t *bytes, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QStringLiteral("%1").arg(unsigned(bytes[i]), 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char(' '));
}

template <typename Container>
QString hexBytes(const Container &bytes, int from = 0, int count = -1)
{
    return hexRaw(reinterpret_cast<const std::uint8_t *>(bytes.data()) + from,
                  count < 0 ? int(bytes.size()) - from : count);
}
