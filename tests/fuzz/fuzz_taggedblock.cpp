// The tagged-block reader against cut, overlong and garbage blocks.
#include "link/taggedblock.h"
#include "tests/fuzz/fuzzcheck.h"

#include <QtEndian>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray block = fuzzBytes(data, size);
    const QVector<TaggedBlock::Item> items = TaggedBlock::items(block);

    // The items are a prefix of the block, written back exactly as read.
    QByteArray rebuilt;
    for (const TaggedBlock::Item &item : items)
        FUZZ_CHECK(TaggedBlock::append(rebuilt, item.tag, item.value));
    FUZZ_CHECK(block.startsWith(rebuilt));

    // What is left over cannot be one more whole item.
    const QByteArray rest = block.mid(rebuilt.size());
    if (rest.size() >= 4)
        FUZZ_CHECK(qFromLittleEndian<quint16>(rest.constData() + 2) > rest.size() - 4);

    if (!items.isEmpty()) {
        const TaggedBlock::Item &first = items.first();
        FUZZ_CHECK(TaggedBlock::value(block, first.tag) == first.value);
        qint32 number = 0;
        FUZZ_CHECK(TaggedBlock::toInt(first.value, &number) == (first.value.size() == 4));
    }
    return 0;
}
