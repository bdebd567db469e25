#pragma once

#include <QByteArray>
#include <QVector>

// One request before it is framed.
struct LinkMessage
{
    quint8 command = 0;
    QVector<qint32> arguments;  // at most 255
    QByteArray payload;         // write commands only
};
