#pragma once

// The virtual bus of one r770ctl test process, as JSON: the test writes
// which mice to plug in (command set, scrambling, faults, firmware state),
// the process sets them up before it runs and writes each mouse's frames
// and final state when it ends.
//
// Mouse settings: commandSet ("hid553"/"hid560"), scrambling, secrecyCode,
// openRefused, failCalls ([{call, nth}] on the command interface), state
// (any MouseState fields: bytes as numbers, arrays as hex text, arrays of
// arrays as lists of hex text, ledStageColors as {type: hex}).

#include "virtual_r770.h"

#include <QJsonObject>
#include <QString>
#include <vector>

namespace virtualbus {

// Plugs in the mice the file describes; false with the reason on failure.
bool setUp(const QString &path, std::vector<vr770::VirtualR770> &mice, QString *why);
// {"mice": [{"frames": ["00 0B 02 ...", ...], "state": {...}}, ...]}
bool writeLog(const QString &path, const std::vector<vr770::VirtualR770> &mice);

QJsonObject stateToJson(const vr770::MouseState &state);
void applyJson(vr770::MouseState &state, const QJsonObject &json);

} // namespace virtualbus
