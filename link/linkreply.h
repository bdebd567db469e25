#pragma once

#include <QByteArray>
#include <QVector>

// One reply after decoding. The status byte is carried, never interpreted.
struct LinkReply
{
    bool valid = false;
    quint8 status = 0;
    QVector<qint32> arguments;
    QByteArray payload;
};
