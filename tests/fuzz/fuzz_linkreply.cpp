// The reply decoder against whatever a register might send.
#include "link/linkframe.h"
#include "tests/fuzz/fuzzcheck.h"

#include <QtEndian>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray received = fuzzBytes(data, size);
    const LinkReply reply = LinkFrame::decode(received);
    const LinkFrame::Progress progress = LinkFrame::progress(received);
    if (!reply.valid)
        return 0;

    // A reply that decodes is a whole frame: length, checksum and body come
    // back byte for byte when it is encoded again (only the magic is free).
    FUZZ_CHECK(received.size() >= LinkFrame::HeaderSize);
    FUZZ_CHECK(reply.arguments.size() <= 255);
    const qint32 length = qFromLittleEndian<qint32>(received.constData() + 2);
    FUZZ_CHECK(length >= 2 && length <= received.size() - LinkFrame::HeaderSize);
    const QByteArray again = LinkFrame::encode({reply.status, reply.arguments, reply.payload});
    FUZZ_CHECK(again.mid(2) == received.mid(2, LinkFrame::HeaderSize - 2 + length));

    // The receive loop must have stopped on exactly this frame.
    if (length <= LinkFrame::MaxReplyBody)
        FUZZ_CHECK(progress == LinkFrame::Progress::Complete);
    else
        FUZZ_CHECK(progress == LinkFrame::Progress::Invalid);
    return 0;
}
