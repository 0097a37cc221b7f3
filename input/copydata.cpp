#include "copydata.h"

#include <limits>
#include <QtEndian>

namespace copydata {

std::optional<QString> warningText(const CopyData &data)
{
    if (data.dwData != warningKind)
        return std::nullopt;
    const QByteArray &bytes = data.bytes;
    const qsizetype end = bytes.indexOf('\0');
    const QString text = QString::fromUtf8(bytes.constData(), end < 0 ? bytes.size() : end);
    // The same bytes, not only as many: broken UTF-8 before a zero byte can
    // decode to replacement characters of exactly the message's length.
    if (text.toUtf8() != bytes)
        return std::nullopt;
    return text;
}

QByteArray encodeFrame(const CopyData &data)
{
    QByteArray frame(headerSize, '\0');
    qToLittleEndian<quint64>(data.dwData, frame.data());
    qToLittleEndian<quint32>(quint32(data.bytes.size()), frame.data() + 8);
    frame += data.bytes;
    return frame;
}

FrameResult takeFrame(QByteArray &buffer, CopyData &message)
{
    if (buffer.size() < headerSize)
        return FrameResult::NeedMore;
    const quint64 kind = qFromLittleEndian<quint64>(buffer.constData());
    const quint32 length = qFromLittleEndian<quint32>(buffer.constData() + 8);
    if (length > quint32(maxBytes) || kind > std::numeric_limits<quintptr>::max())
        return FrameResult::Malformed;
    if (buffer.size() < headerSize + qsizetype(length))
        return FrameResult::NeedMore;
    message.dwData = quintptr(kind);
    message.bytes = buffer.mid(headerSize, length);
    buffer.remove(0, headerSize + length);
    return FrameResult::Message;
}

QByteArray encodeResult(qint64 result)
{
    QByteArray bytes(resultSize, '\0');
    qToLittleEndian<qint64>(result, bytes.data());
    return bytes;
}

qint64 decodeResult(const QByteArray &bytes)
{
    return bytes.size() < resultSize ? 0 : qFromLittleEndian<qint64>(bytes.constData());
}

} // namespace copydata
