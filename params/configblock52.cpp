#include "params/configblock52.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/paramsimage.h"

ConfigBlock52 ConfigBlock52::decode(const QByteArray &bytes)
{
    ByteReader in(bytes);
    ConfigBlock52 c;
    c.kept0 = in.i32();
    c.m_serial = in.raw(SerialSize);
    c.kept16 = in.raw(4);
    c.kept20 = in.raw(4);
    c.kept24 = in.raw(4);
    c.kept28 = in.raw(4);
    c.defaultDept = in.i8();
    c.deptCount = in.i8();
    c.internalCodeSize = in.i8();
    c.weightPrefix = in.i8();
    c.printDensity = in.i8();
    c.smallFont = in.i8();
    c.keySensitivity = in.i8();
    c.keySound = in.i8();
    c.displayTimer = in.i8();
    c.displayMode = in.i8();
    c.printFlags = in.u16();
    c.maxPrice = in.i64();
    in.skip(8);
    c.maxDeposit = in.i64();
    c.maxQuantity = in.i64();
    c.tradeFlags = in.u32();
    c.defaultCashier = in.i16();
    c.kept82 = in.i16();
    return c;
}

QByteArray ConfigBlock52::encode() const
{
    ByteWriter out;
    out.i32(kept0);
    out.raw(m_serial, SerialSize);
    out.raw(kept16, 4);
    out.raw(kept20, 4);
    out.raw(kept24, 4);
    out.raw(kept28, 4);
    out.i8(defaultDept);
    out.i8(deptCount);
    out.i8(internalCodeSize);
    out.i8(weightPrefix);
    out.i8(printDensity);
    out.i8(smallFont);
    out.i8(keySensitivity);
    out.i8(keySound);
    out.i8(displayTimer);
    out.i8(displayMode);
    out.u16(printFlags);
    out.i64(maxPrice);
    out.zeros(8);
    out.i64(maxDeposit);
    out.i64(maxQuantity);
    out.u32(tradeFlags);
    out.i16(defaultCashier);
    out.i16(kept82);
    return out.bytes();
}

QString ConfigBlock52::serial() const { return ParamsImage::text(m_serial); }

void ConfigBlock52::setSerial(const QString &serial)
{
    m_serial = ParamsImage::textField(serial, SerialSize, SerialSize);
}
