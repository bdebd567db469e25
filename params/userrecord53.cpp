#include "params/userrecord53.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/paramsimage.h"

UserRecord53 UserRecord53::decode(const QByteArray &bytes)
{
    ByteReader in(bytes);
    UserRecord53 u;
    u.m_name = in.raw(NameSize);
    u.m_barcode = in.raw(BarcodeSize);
    u.m_inn = in.raw(InnSize);
    u.m_fullName = in.raw(FullNameSize);
    u.m_password = in.raw(PasswordSize);
    u.rights = in.i8();
    u.position = in.i8();
    u.flags = in.u16();
    return u;
}

QByteArray UserRecord53::encode() const
{
    ByteWriter out;
    out.raw(m_name, NameSize);
    out.raw(m_barcode, BarcodeSize);
    out.raw(m_inn, InnSize);
    out.raw(m_fullName, FullNameSize);
    out.raw(m_password, PasswordSize);
    out.i8(rights);
    out.i8(position);
    out.u16(flags);
    return out.bytes();
}

QString UserRecord53::name() const { return ParamsImage::text(m_name); }

void UserRecord53::setName(const QString &name)
{
    m_name = ParamsImage::textField(name, NameMax, NameSize);
}

QString UserRecord53::barcode() const { return ParamsImage::text(m_barcode); }

void UserRecord53::setBarcode(const QString &barcode)
{
    m_barcode = ParamsImage::textField(barcode, BarcodeMax, BarcodeSize);
}

QString UserRecord53::inn() const { return ParamsImage::text(m_inn); }

void UserRecord53::setInn(const QString &inn)
{
    m_inn = ParamsImage::textField(inn, InnMax, InnSize);
}

QString UserRecord53::fullName() const { return ParamsImage::text(m_fullName); }

void UserRecord53::setFullName(const QString &fullName)
{
    m_fullName = ParamsImage::textField(fullName, FullNameMax, FullNameSize);
}

QString UserRecord53::password() const { return ParamsImage::text(m_password); }

void UserRecord53::setPassword(const QString &password)
{
    m_password = ParamsImage::textField(password, PasswordMax, PasswordSize);
}

void UserRecord53::setActive(bool active)
{
    flags = active ? (flags | ActiveFlag) : (flags & ~ActiveFlag);
}
