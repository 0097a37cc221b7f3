#pragma once

#include "exitcodes.h"

#include <QString>

namespace ctl {

// What one request produced: the exit status, the output for stdout and the
// messages for stderr. Kept as data so that the request can be answered by
// whichever process performs it.
struct Reply
{
    int code = Success;
    QString out;
    QString err;

    static Reply failure(int code, const QString &message) { return {code, QString(), message}; }
    bool ok() const { return code == Success; }
};

} // namespace ctl
