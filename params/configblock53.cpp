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
    c.fontFlags = c.readCommon(in);
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
    writeCommon(out, fontFlags);
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
