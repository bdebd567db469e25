#include "link/linkframe.h"
#include "link/taggedblock.h"

#include <QtTest>

namespace {

// Independent of LinkFrame: a reply frame assembled byte by byte.
QByteArray replyFrame(quint8 status, const QVector<qint32> &arguments, const QByteArray &payload,
                      quint16 magic = 0xBEEF, int checksumFlip = 0)
{
    QByteArray body;
    body.append(char(status));
    body.append(char(arguments.size()));
    for (qint32 a : arguments) {
        for (int i = 0; i < 4; ++i)
            body.append(char((quint32(a) >> (8 * i)) & 0xFF));
    }
    body.append(payload);
    const quint32 crc = LinkFrame::crc32(body) ^ quint32(checksumFlip);
    QByteArray frame;
    frame.append(char(magic & 0xFF)).append(char(magic >> 8));
    for (int i = 0; i < 4; ++i)
        frame.append(char((body.size() >> (8 * i)) & 0xFF));
    for (int i = 0; i < 4; ++i)
        frame.append(char((crc >> (8 * i)) & 0xFF));
    return frame + body;
}

} // namespace

class TestLinkFrame : public QObject
{
    Q_OBJECT

private slots:
    void crcKnownValues()
    {
        QCOMPARE(LinkFrame::crc32("123456789"), 0xCBF43926u);
        QCOMPARE(LinkFrame::crc32(QByteArray()), 0u);
        QCOMPARE(LinkFrame::crc32(QByteArray(256, '\0')), 0x0D968558u);
        QByteArray ramp;
        for (int i = 0; i < 256; ++i)
            ramp.append(char(i));
        QCOMPARE(LinkFrame::crc32(ramp), 0x29058C73u);
    }

    void encodeReadRequestBytes()
    {
        const QByteArray frame = LinkFrame::encode({0xC2, {5, 4}, {}});
        QCOMPARE(frame.toHex(), QByteArray("efbe0a0000005f07b476c2020500000004000000"));
    }

    void encodeWriteRequestCarriesPayload()
    {
        const QByteArray frame = LinkFrame::encode({0xC3, {7, 1}, QByteArray("\x01\x02\x03", 3)});
        QCOMPARE(frame.toHex(), QByteArray("efbe0d0000005747d366c3020700000001000000010203"));
    }

    void encodeNegativeArgumentLittleEndian()
    {
        const QByteArray frame = LinkFrame::encode({0xC1, {-2}, {}});
        QCOMPARE(frame.mid(10).toHex(), QByteArray("c101feffffff"));
        QCOMPARE(frame.mid(2, 4).toHex(), QByteArray("06000000"));
    }

    void decodeReadReply()
    {
        const QByteArray page(256, '\xAA');
        const LinkReply reply = LinkFrame::decode(replyFrame(7, {1}, page));
        QVERIFY(reply.valid);
        QCOMPARE(int(reply.status), 7);
        QCOMPARE(reply.arguments, QVector<qint32>{1});
        QCOMPARE(reply.payload, page);
    }

    void decodeIgnoresMagicAndTrailingBytes()
    {
        const LinkReply reply = LinkFrame::decode(replyFrame(0, {-5, 65536}, "xy", 0x1234) + "trailing");
        QVERIFY(reply.valid);
        QCOMPARE(reply.arguments, (QVector<qint32>{-5, 65536}));
        QCOMPARE(reply.payload, QByteArray("xy"));
    }

    void decodeRejectsBrokenFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        const QByteArray good = replyFrame(0, {1, 2}, "payload");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header cut") << good.left(9);
        QTest::newRow("body cut") << good.left(good.size() - 1);
        QTest::newRow("checksum") << replyFrame(0, {1, 2}, "payload", 0xBEEF, 0x100);
        QByteArray negative = good;
        negative[5] = char(0x80);
        QTest::newRow("negative length") << negative;
        // The body claims three arguments but holds two.
        QByteArray body = QByteArray::fromHex("0003") + QByteArray(8, '\x01');
        QByteArray shortArgs = QByteArray::fromHex("efbe") + QByteArray::fromHex("0a000000");
        const quint32 crc = LinkFrame::crc32(body);
        for (int i = 0; i < 4; ++i)
            shortArgs.append(char((crc >> (8 * i)) & 0xFF));
        QTest::newRow("arguments run out") << shortArgs + body;
        QByteArray statusOnly = QByteArray::fromHex("efbe01000000");
        const quint32 crc1 = LinkFrame::crc32(QByteArray(1, '\0'));
        for (int i = 0; i < 4; ++i)
            statusOnly.append(char((crc1 >> (8 * i)) & 0xFF));
        QTest::newRow("no count byte") << statusOnly + QByteArray(1, '\0');
    }

    void decodeRejectsBrokenFrames()
    {
        QFETCH(QByteArray, frame);
        QVERIFY(!LinkFrame::decode(frame).valid);
    }

    void decodeAcceptsEmptyArgumentList()
    {
        const LinkReply reply = LinkFrame::decode(replyFrame(0, {}, {}));
        QVERIFY(reply.valid);
        QVERIFY(reply.arguments.isEmpty());
        QVERIFY(reply.payload.isEmpty());
    }

    void encodeDecodeRoundTrip()
    {
        const QByteArray data(1024, '\x5A');
        const QByteArray frame = LinkFrame::encode({0xC3, {12, 4}, data});
        const LinkReply reply = LinkFrame::decode(frame);
        QVERIFY(reply.valid);
        QCOMPARE(int(reply.status), 0xC3);
        QCOMPARE(reply.arguments, (QVector<qint32>{12, 4}));
        QCOMPARE(reply.payload, data);
    }

    void progressFollowsDeclaredLength()
    {
        const QByteArray frame = replyFrame(0, {4}, QByteArray(1024, '\1'));
        QCOMPARE(LinkFrame::progress(QByteArray()), LinkFrame::Progress::Incomplete);
        QCOMPARE(LinkFrame::progress(frame.left(9)), LinkFrame::Progress::Incomplete);
        QCOMPARE(LinkFrame::progress(frame.left(600)), LinkFrame::Progress::Incomplete);
        QCOMPARE(LinkFrame::progress(frame), LinkFrame::Progress::Complete);
        QCOMPARE(LinkFrame::progress(frame + "more"), LinkFrame::Progress::Complete);
    }

    void progressRejectsImpossibleLengths()
    {
        QByteArray header = QByteArray::fromHex("efbe00000100") + QByteArray(4, '\0');  // 65536
        QCOMPARE(LinkFrame::progress(header), LinkFrame::Progress::Invalid);
        header = QByteArray::fromHex("efbeffffff7f") + QByteArray(4, '\0');  // INT_MAX
        QCOMPARE(LinkFrame::progress(header), LinkFrame::Progress::Invalid);
        header = QByteArray::fromHex("efbeffffffff") + QByteArray(4, '\0');  // -1
        QCOMPARE(LinkFrame::progress(header), LinkFrame::Progress::Invalid);
        // The largest real reply, four pages and a full argument list, still fits.
        QVERIFY(LinkFrame::MaxReplyBody >= 2 + 255 * 4 + 1024);
    }

    void taggedBlockBytes()
    {
        QByteArray block;
        QVERIFY(TaggedBlock::append(block, TaggedBlock::Params, "abc"));
        QVERIFY(TaggedBlock::appendInt(block, TaggedBlock::RecordCount, -2));
        QVERIFY(TaggedBlock::append(block, -1, QByteArray()));
        QCOMPARE(block.toHex(), QByteArray("02000300616263" "05000400feffffff" "ffff0000"));
    }

    void taggedBlockReadBack()
    {
        QByteArray block = QByteArray::fromHex("0900010001" "03000300787978" "01000000");
        const auto items = TaggedBlock::items(block);
        QCOMPARE(items.size(), 3);
        QCOMPARE(items.at(0).tag, qint16(9));
        QCOMPARE(items.at(1).value, QByteArray("xyx"));
        QCOMPARE(items.at(2).tag, qint16(TaggedBlock::Serial));
        QVERIFY(items.at(2).value.isEmpty());
        QCOMPARE(TaggedBlock::value(block, TaggedBlock::System), QByteArray("xyx"));
        QVERIFY(TaggedBlock::value(block, TaggedBlock::Params).isNull());
    }

    void taggedBlockCutItemEndsList()
    {
        const QByteArray block = QByteArray::fromHex("0200020041420300ff00" "4142");
        const auto items = TaggedBlock::items(block);
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.first().value, QByteArray("AB"));
        QVERIFY(TaggedBlock::items(QByteArray::fromHex("020000")).isEmpty());
    }

    void taggedBlockRefusesOversizedValue()
    {
        QByteArray block("keep");
        QVERIFY(TaggedBlock::append(block, TaggedBlock::Params, QByteArray(65535, 'x')));
        QCOMPARE(block.size(), 4 + 4 + 65535);
        QCOMPARE(block.mid(6, 2).toHex(), QByteArray("ffff"));
        const QByteArray before = block;
        QVERIFY(!TaggedBlock::append(block, TaggedBlock::Params, QByteArray(65536, 'x')));
        QCOMPARE(block, before);
    }

    void taggedBlockOfParameters()
    {
        QByteArray block;
        QVERIFY(TaggedBlock::appendParams(block, "PP", QByteArray()));
        QCOMPARE(block.toHex(), QByteArray("020002005050"));
        block.clear();
        QVERIFY(TaggedBlock::appendParams(block, "PP", "S"));
        QCOMPARE(block.toHex(), QByteArray("0200020050500300010053"));
        // Neither part is sent when one of them cannot travel.
        QByteArray refused("keep");
        QVERIFY(!TaggedBlock::appendParams(refused, "PP", QByteArray(65536, 's')));
        QCOMPARE(refused, QByteArray("keep"));

        // A read: other tags are skipped, a repeated tag replaces the earlier value.
        QByteArray read = QByteArray::fromHex("0700010041") + block + QByteArray::fromHex("020001005a");
        QByteArray params;
        QByteArray system;
        TaggedBlock::takeParams(read, &params, &system);
        QCOMPARE(params, QByteArray("Z"));
        QCOMPARE(system, QByteArray("S"));
    }

    void taggedBlockInts()
    {
        qint32 value = 0;
        QVERIFY(TaggedBlock::toInt(QByteArray::fromHex("78563412"), &value));
        QCOMPARE(value, 0x12345678);
        QVERIFY(!TaggedBlock::toInt(QByteArray::fromHex("785634"), &value));
        QVERIFY(!TaggedBlock::toInt(QByteArray::fromHex("7856341200"), &value));
    }
};

QTEST_APPLESS_MAIN(TestLinkFrame)
#include "tst_linkframe.moc"
