#pragma once

#include "link/linkmessage.h"
#include "link/linkreply.h"

#include <QByteArray>

// The byte work of the register link, free of sockets:
//   magic EF BE | body length (int32) | CRC-32 of the body (uint32) | body
// with the body  command-or-status | argument count | int32 arguments | payload.
class LinkFrame
{
public:
    static constexpr int HeaderSize = 10;
    static constexpr quint16 Magic = 0xBEEF;
    static constexpr int PageSize = 256;
    static constexpr int MaxPagesPerRequest = 4;
    // No reply the register sends carries more than four pages and a full
    // argument list; a larger declared length is garbage, and waiting for it
    // (or allocating it) would only hide that.
    static constexpr int MaxReplyBody = 2 + 255 * 4 + MaxPagesPerRequest * PageSize + 1024;

    // Reflected IEEE 802.3 CRC-32; "123456789" gives 0xCBF43926.
    static quint32 crc32(const QByteArray &bytes);

    static QByteArray encode(const LinkMessage &message);
    static LinkReply decode(const QByteArray &frame);

    enum class Progress { Incomplete, Complete, Invalid };
    // Whether `received` already holds a whole reply frame, judged by its
    // declared length only (the checksum is decode()'s business). A negative or
    // impossible length is Invalid at once.
    static Progress progress(const QByteArray &received);
};
