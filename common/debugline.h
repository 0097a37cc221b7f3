#pragma once

#include <QDebug>

// The program's diagnostics: one debug-level line per call, made of the
// parts, each followed by one space ("cmd Failed 0B ", "test 125 1 ").
// qDebug() on its own would quote texts and drop the trailing space.
template <typename... Parts>
void debugLine(const Parts &...parts)
{
    QDebug line = qDebug().nospace().noquote();
    ((line << parts << ' '), ...);
}
