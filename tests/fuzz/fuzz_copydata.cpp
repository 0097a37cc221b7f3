// The copy-data channel's framing, fed a stream in pieces as a socket
// delivers it: a frame is taken only when complete, re-encodes to exactly the
// bytes it took, and leaves the rest; a stream is given up only for a
// declared length beyond the limit. A warning text counts only when it is
// the message's bytes exactly. Input: one byte that sets the piece size,
// then the stream.
#include "copydata.h"
#include "fuzzsupport.h"

#include <QtEndian>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int piece = 1 + data[0] % 64;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    QByteArray buffer;
    for (qsizetype pos = 0; pos < stream.size(); pos += piece) {
        buffer += stream.mid(pos, piece);
        for (;;) {
            const QByteArray before = buffer;
            CopyData message;
            const copydata::FrameResult result = copydata::takeFrame(buffer, message);
            if (result == copydata::FrameResult::NeedMore) {
                FUZZ_CHECK(buffer == before);
                break;
            }
            if (result == copydata::FrameResult::Malformed) {
                FUZZ_CHECK(before.size() >= copydata::headerSize);
                FUZZ_CHECK(qFromLittleEndian<quint32>(before.constData() + 8) > quint32(copydata::maxBytes));
                return 0;
            }
            const qsizetype taken = before.size() - buffer.size();
            FUZZ_CHECK(copydata::encodeFrame(message) == before.left(taken));
            FUZZ_CHECK(before.mid(taken) == buffer);
            FUZZ_CHECK(message.bytes.size() <= copydata::maxBytes);
            if (const auto text = copydata::warningText(message))
                FUZZ_CHECK(message.dwData == copydata::warningKind && text->toUtf8() == message.bytes);
        }
    }

    const CopyData whole{copydata::warningKind, stream};
    if (const auto text = copydata::warningText(whole))
        FUZZ_CHECK(text->toUtf8() == stream);
    if (stream.size() >= copydata::resultSize) {
        const qint64 result = copydata::decodeResult(stream);
        FUZZ_CHECK(copydata::decodeResult(copydata::encodeResult(result)) == result);
    }
    return 0;
}
