#include "params/userrecord52.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/packeddecimal.h"
#include "params/paramsimage.h"

UserRecord52 UserRecord52::decode(const QByteArray &bytes)
{
    ByteReader in(bytes);
    UserRecord52 u;
    u.number = in.i8();
    u.rights = in.i8();
    u.m_barcode = in.raw(PackedDecimal::Size);
    u.flags = in.u16();
    u.m_name = in.raw(NameSize);
    u.kept25 = in.i32();
    u.position = in.i8();
    return u;
}

QByteArray UserRecord52::encode() const
{
    ByteWriter out;
    out.i8(number);
    out.i8(rights);
    out.raw(m_barcode, PackedDecimal::Size);
    out.u16(flags);
    out.raw(m_name, NameSize);
    out.i32(kept25);
    out.i8(position);
    out.zeros(1);
    out.u8(out.xorSum());
    return out.bytes();
}

QString UserRecord52::name() const { return ParamsImage::text(m_name); }

void UserRecord52::setName(const QString &name)
{
    m_name = ParamsImage::textField(name, NameMax, NameSize);
}

QString UserRecord52::barcode() const
{
    return PackedDecimal::unpackWithCheckDigit(m_barcode);
}

void UserRecord52::setBarcode(const QString &barcode)
{
    m_barcode = PackedDecimal::pack(barcode);
}

void UserRecord52::setShownBarcode(const QString &barcode)
{
    if (barcode != this->barcode())
        setBarcode(barcode);
}

void UserRecord52::setActive(bool active)
{
    flags = active ? (flags | ActiveFlag) : (flags & ~ActiveFlag);
}
