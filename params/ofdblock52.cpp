#include "params/ofdblock52.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/packeddecimal.h"
#include "params/paramsimage.h"

OfdBlock52 OfdBlock52::decode(const QByteArray &bytes)
{
    ByteReader in(bytes);
    OfdBlock52 o;
    o.m_address = in.raw(TextSize);
    o.port = in.u16();
    o.connectTimer = in.i16();
    o.pollTimer = in.i16();
    o.m_site = in.raw(TextSize);
    o.m_inn = in.raw(PackedDecimal::Size);
    return o;
}

QByteArray OfdBlock52::encode() const
{
    ByteWriter out;
    out.raw(m_address, TextSize);
    out.u16(port);
    out.i16(connectTimer);
    out.i16(pollTimer);
    out.raw(m_site, TextSize);
    out.raw(m_inn, PackedDecimal::Size);
    return out.bytes();
}

QString OfdBlock52::address() const { return ParamsImage::text(m_address); }

void OfdBlock52::setAddress(const QString &address)
{
    m_address = ParamsImage::textField(address, TextMax, TextSize);
}

QString OfdBlock52::site() const { return ParamsImage::text(m_site); }

void OfdBlock52::setSite(const QString &site)
{
    m_site = ParamsImage::textField(site, TextMax, TextSize);
}

QString OfdBlock52::inn() const { return PackedDecimal::unpack(m_inn); }

void OfdBlock52::setInn(const QString &inn)
{
    m_inn = PackedDecimal::pack(inn);
}

void OfdBlock52::setShownInn(const QString &inn)
{
    if (inn != this->inn())
        setInn(inn);
}
