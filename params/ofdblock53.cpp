#include "params/ofdblock53.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/paramsimage.h"

OfdBlock53 OfdBlock53::decode(const QByteArray &block)
{
    ByteReader in(block);
    OfdBlock53 o;
    o.m_address = in.raw(AddressSize);
    o.m_inn = in.raw(InnSize);
    o.port = in.u16();
    o.connectTimer = in.i16();
    o.pollTimer = in.i16();
    in.seek(NameOffset);
    o.m_name = in.raw(TextSize);
    o.m_taxSite = in.raw(TextSize);
    o.m_checkSite = in.raw(TextSize);
    return o;
}

void OfdBlock53::writeInto(QByteArray &image, int offset) const
{
    ByteWriter head;
    head.raw(m_address, AddressSize);
    head.raw(m_inn, InnSize);
    head.u16(port);
    head.i16(connectTimer);
    head.i16(pollTimer);
    ParamsImage::write(image, offset, head.bytes());
    ParamsImage::write(image, offset + NameOffset, m_name + m_taxSite + m_checkSite);
}

QString OfdBlock53::address() const { return ParamsImage::text(m_address); }

void OfdBlock53::setAddress(const QString &address)
{
    m_address = ParamsImage::textField(address, AddressMax, AddressSize);
}

QString OfdBlock53::inn() const { return ParamsImage::text(m_inn); }

void OfdBlock53::setInn(const QString &inn)
{
    m_inn = ParamsImage::textField(inn, InnMax, InnSize);
}

QString OfdBlock53::name() const { return ParamsImage::text(m_name); }

void OfdBlock53::setName(const QString &name)
{
    m_name = ParamsImage::textField(name, TextSize, TextSize);
}

QString OfdBlock53::taxSite() const { return ParamsImage::text(m_taxSite); }

void OfdBlock53::setTaxSite(const QString &site)
{
    m_taxSite = ParamsImage::textField(site, TextSize, TextSize);
}

QString OfdBlock53::checkSite() const { return ParamsImage::text(m_checkSite); }

void OfdBlock53::setCheckSite(const QString &site)
{
    m_checkSite = ParamsImage::textField(site, TextSize, TextSize);
}
