#include "params/orgblock53.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/paramsimage.h"

OrgBlock53 OrgBlock53::decode(const QByteArray &block)
{
    ByteReader in(block);
    OrgBlock53 o;
    o.m_inn = in.raw(InnSize);
    o.m_email = in.raw(EmailSize);
    o.m_name = readText(block, NameOffset);
    o.m_address = readText(block, AddressOffset);
    o.m_place = readText(block, PlaceOffset);
    return o;
}

QByteArray OrgBlock53::readText(const QByteArray &block, int offset)
{
    ByteReader in(block);
    in.seek(offset);
    return in.raw(TextSize - 1) + QByteArray(1, '\0');
}

void OrgBlock53::writeInto(QByteArray &image, int offset) const
{
    ByteWriter head;
    head.raw(m_inn, InnSize);
    head.raw(m_email, EmailSize);
    ParamsImage::write(image, offset, head.bytes());
    ParamsImage::write(image, offset + NameOffset, m_name);
    ParamsImage::write(image, offset + AddressOffset, m_address);
    ParamsImage::write(image, offset + PlaceOffset, m_place);
}

QString OrgBlock53::inn() const { return ParamsImage::text(m_inn); }

void OrgBlock53::setInn(const QString &inn)
{
    m_inn = ParamsImage::textField(inn, InnMax, InnSize);
}

QString OrgBlock53::email() const { return ParamsImage::text(m_email); }

void OrgBlock53::setEmail(const QString &email)
{
    m_email = ParamsImage::textField(email, EmailMax, EmailSize);
}

QString OrgBlock53::name() const { return ParamsImage::text(m_name); }

void OrgBlock53::setName(const QString &name)
{
    m_name = ParamsImage::textField(name, TextMax, TextSize);
}

QString OrgBlock53::address() const { return ParamsImage::text(m_address); }

void OrgBlock53::setAddress(const QString &address)
{
    m_address = ParamsImage::textField(address, TextMax, TextSize);
}

QString OrgBlock53::place() const { return ParamsImage::text(m_place); }

void OrgBlock53::setPlace(const QString &place)
{
    m_place = ParamsImage::textField(place, TextMax, TextSize);
}
