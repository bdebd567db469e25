#include "params/configblock53.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"

ConfigBlock53 ConfigBlock53::decode(const QByteArray &bytes)
{
    ByteReader in(bytes);
    ConfigBlock53 c;
    c.kept0 = in.i32();
    c.kept4 = in.i8();
    c.kept5 = in.i8();
    in.skip(10);
    c.kept16 = in.raw(4);
    c.kept20 = in.raw(4);
    c.kept24 = in.raw(4);
    c.kept28 = in.raw(4);
    c.defaultDept = in.i8();
    c.deptCount = in.i8();
    c.internalCodeSize = in.i8();
    c.weightPrefix = in.i8();
    c.printDensity = in.i8();
    c.fontFlags = in.u8();
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
    c.defaultCashier = in.i8();
    in.skip(1);
    c.kept82 = in.i16();
    c.paymentKinds = in.u8();
    c.tradeModes = in.u8();
    c.kept86 = in.raw(7);
    return c;
}

QByteArray ConfigBlock53::encode() const
{
    ByteWriter out;
    out.i32(kept0);
    out.i8(kept4);
    out.i8(kept5);
    out.zeros(10);
    out.raw(kept16, 4);
    out.raw(kept20, 4);
    out.raw(kept24, 4);
    out.raw(kept28, 4);
    out.i8(defaultDept);
    out.i8(deptCount);
    out.i8(internalCodeSize);
    out.i8(weightPrefix);
    out.i8(printDensity);
    out.u8(fontFlags);
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
    out.i8(defaultCashier);
    out.zeros(1);
    out.i16(kept82);
    out.u8(paymentKinds);
    out.u8(tradeModes);
    out.raw(kept86, 7);
    return out.bytes();
}

void ConfigBlock53::setMainMode(int mode)
{
    tradeModes = static_cast<quint8>((tradeModes & 0x0F) | ((mode & 0x0F) << 4));
}
