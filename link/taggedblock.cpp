#include "link/taggedblock.h"

#include <QtEndian>

bool TaggedBlock::append(QByteArray &block, qint16 tag, const QByteArray &value)
{
    if (value.size() > MaxValueSize)
        return false;
    char head[4];
    qToLittleEndian<qint16>(tag, head);
    qToLittleEndian<quint16>(quint16(value.size()), head + 2);
    block.append(head, 4);
    block.append(value);
    return true;
}

bool TaggedBlock::appendInt(QByteArray &block, qint16 tag, qint32 value)
{
    char bytes[4];
    qToLittleEndian<qint32>(value, bytes);
    return append(block, tag, QByteArray(bytes, 4));
}

QVector<TaggedBlock::Item> TaggedBlock::items(const QByteArray &block)
{
    QVector<Item> result;
    int pos = 0;
    while (block.size() - pos >= 4) {
        const qint16 tag = qFromLittleEndian<qint16>(block.constData() + pos);
        const int length = qFromLittleEndian<quint16>(block.constData() + pos + 2);
        pos += 4;
        if (length > block.size() - pos)
            break;
        result.append({tag, block.mid(pos, length)});
        pos += length;
    }
    return result;
}

bool TaggedBlock::appendParams(QByteArray &block, const QByteArray &params, const QByteArray &system)
{
    if (params.size() > MaxValueSize || system.size() > MaxValueSize)
        return false;
    if (!params.isEmpty())
        append(block, Params, params);
    if (!system.isEmpty())
        append(block, System, system);
    return true;
}

void TaggedBlock::takeParams(const QByteArray &block, QByteArray *params, QByteArray *system)
{
    for (const Item &item : items(block)) {
        if (item.tag == Params)
            *params = item.value;
        else if (item.tag == System)
            *system = item.value;
    }
}

QByteArray TaggedBlock::value(const QByteArray &block, qint16 tag)
{
    for (const Item &item : items(block)) {
        if (item.tag == tag)
            return item.value;
    }
    return QByteArray();
}

bool TaggedBlock::toInt(const QByteArray &value, qint32 *result)
{
    if (value.size() != 4)
        return false;
    *result = qFromLittleEndian<qint32>(value.constData());
    return true;
}
