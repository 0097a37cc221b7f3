#pragma once

// Helpers shared by the command implementations.

#include "commands.h"
#include "reply.h"

#include <QJsonDocument>
#include <QString>
#include <functional>
#include <optional>

class Hid_Thread;
class QJsonObject;
class QSettings;

namespace ctl {

QString tr(const char *source);

Prepared refuse(int code, const QString &message);
Prepared usageError(const QString &message);

// A whole number within [lowest, highest], or none.
std::optional<int> intIn(const QString &word, int lowest, int highest);

// Writes pending changes of a settings file; false, with the reply set to
// a file error naming the file, when they did not reach it.
bool flushed(Context &ctx, QSettings &settings);

// Prints `json` when the request asked for JSON, `text` otherwise.
void print(Context &ctx, const QJsonDocument &json, const QString &text);

// The device steps of one command: each runs unless an earlier one failed,
// and the report says which reached the mouse.
class Delivery
{
public:
    explicit Delivery(Hid_Thread &link) : link(link) {}
    // False when some exchange of the step failed (or an earlier step did).
    bool step(const QString &what, const std::function<void()> &operation);
    bool complete() const { return failed.isEmpty(); }
    // Sets a device error on the reply, saying what was stored and which
    // steps reached the mouse; `stored` is what the files already hold.
    void fail(Context &ctx, const QString &stored) const;

private:
    Hid_Thread &link;
    QStringList done;
    QString failed;
    QStringList skipped;
};

} // namespace ctl
