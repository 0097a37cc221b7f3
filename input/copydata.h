#pragma once

#include "inputhook.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace copydata {

// dwData of the messages that ask the window to show a warning.
constexpr quintptr warningKind = 0x250F;
// Largest payload the channel carries; larger messages are dropped.
constexpr int maxBytes = 64 * 1024;

// The window side: the warning text a message asks for, if any. The text is
// the bytes up to the first zero byte as UTF-8, and it counts only when it
// encodes back to exactly the message's bytes (so a text with a zero byte
// or broken UTF-8 in it shows nothing).
std::optional<QString> warningText(const CopyData &data);

// Framing on the local socket: dwData (8 bytes), payload length (4 bytes),
// payload; numbers little-endian. The receiver answers each message with its
// result (8 bytes, little-endian, signed).
constexpr int headerSize = 12;
constexpr int resultSize = 8;

QByteArray encodeFrame(const CopyData &data);

enum class FrameResult { NeedMore, Message, Malformed };
// Takes one complete frame off the front of buffer. Malformed: the declared
// length is beyond maxBytes; the stream cannot be trusted after that.
FrameResult takeFrame(QByteArray &buffer, CopyData &message);

QByteArray encodeResult(qint64 result);
qint64 decodeResult(const QByteArray &bytes);

// Name of the channel of the window titled windowTitle, and its full server
// name in the user's private folder (empty when there is none).
QString channelName(const QString &windowTitle);
QString serverName(const QString &windowTitle);

} // namespace copydata
