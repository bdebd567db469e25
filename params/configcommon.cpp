#include "params/configcommon.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"

quint8 ConfigCommon::readCommon(ByteReader &in)
{
    Q_ASSERT(in.pos() == Offset);
    kept16 = in.raw(4);
    kept20 = in.raw(4);
    kept24 = in.raw(4);
    kept28 = in.raw(4);
    defaultDept = in.i8();
    deptCount = in.i8();
    internalCodeSize = in.i8();
    weightPrefix = in.i8();
    printDensity = in.i8();
    const quint8 byte37 = in.u8();
    keySensitivity = in.i8();
    keySound = in.i8();
    displayTimer = in.i8();
    displayMode = in.i8();
    printFlags = in.u16();
    maxPrice = in.i64();
    in.skip(8);
    maxDeposit = in.i64();
    maxQuantity = in.i64();
    tradeFlags = in.u32();
    return byte37;
}

void ConfigCommon::writeCommon(ByteWriter &out, quint8 byte37) const
{
    Q_ASSERT(out.bytes().size() == Offset);
    out.raw(kept16, 4);
    out.raw(kept20, 4);
    out.raw(kept24, 4);
    out.raw(kept28, 4);
    out.i8(defaultDept);
    out.i8(deptCount);
    out.i8(internalCodeSize);
    out.i8(weightPrefix);
    out.i8(printDensity);
    out.u8(byte37);
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
}
