#pragma once

#include <QByteArray>
#include <QVector>

// Items {int16 tag, uint16 length, value} back to back, little-endian, no
// terminator: how parameter data and read requests travel between a window,
// the controller and the link.
class TaggedBlock
{
public:
    enum Tag : qint16 { Serial = 1, Params = 2, System = 3, StartRecord = 4, RecordCount = 5 };
    static constexpr int MaxValueSize = 0xFFFF;

    struct Item
    {
        qint16 tag = 0;
        QByteArray value;
    };

    // False (and the block unchanged) for a value longer than a length field
    // can say: cutting it would lose data silently.
    static bool append(QByteArray &block, qint16 tag, const QByteArray &value);
    static bool appendInt(QByteArray &block, qint16 tag, qint32 value);

    // The items in order. An item whose value runs past the end of the block
    // ends the list: a cut block yields only its whole items.
    static QVector<Item> items(const QByteArray &block);
    // A parameter write: tag 2 with the params image, then tag 3 with the
    // system block, each only when not empty. False, and the block unchanged,
    // when either is too long to travel.
    static bool appendParams(QByteArray &block, const QByteArray &params, const QByteArray &system);
    // The params image and system block of a parameter read; a later item of
    // the same tag replaces an earlier one.
    static void takeParams(const QByteArray &block, QByteArray *params, QByteArray *system);
    // The value of the first item with `tag`, or a null array.
    static QByteArray value(const QByteArray &block, qint16 tag);
    // A 4-byte value as int32; false for any other length.
    static bool toInt(const QByteArray &value, qint32 *result);
};
