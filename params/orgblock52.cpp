#include "params/orgblock52.h"

#include "params/bytereader.h"
#include "params/paramsimage.h"

OrgBlock52 OrgBlock52::decode(const QByteArray &block)
{
    ByteReader in(block);
    OrgBlock52 o;
    o.m_inn = in.raw(InnSize);
    in.seek(NameOffset);
    o.m_name = in.raw(TextSize);
    in.seek(AddressOffset);
    o.m_address = in.raw(TextSize);
    return o;
}

void OrgBlock52::writeInto(QByteArray &image, int offset) const
{
    ParamsImage::write(image, offset, m_inn);
    ParamsImage::write(image, offset + NameOffset, m_name);
    ParamsImage::write(image, offset + AddressOffset, m_address);
}

QString OrgBlock52::inn() const { return ParamsImage::text(m_inn); }

void OrgBlock52::setInn(const QString &inn)
{
    m_inn = ParamsImage::textField(inn, InnSize, InnSize);
}

QString OrgBlock52::name() const { return ParamsImage::text(m_name); }

void OrgBlock52::setName(const QString &name)
{
    m_name = ParamsImage::textField(name, TextSize, TextSize);
}

QString OrgBlock52::address() const { return ParamsImage::text(m_address); }

void OrgBlock52::setAddress(const QString &address)
{
    m_address = ParamsImage::textField(address, TextSize, TextSize);
}
