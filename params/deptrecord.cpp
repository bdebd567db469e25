#include "params/deptrecord.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/paramsimage.h"

DeptRecord::DeptRecord(int number, const QString &name, int vat, int taxIndex)
    : number(static_cast<qint8>(number))
    , vat(static_cast<qint8>(vat))
    , tax(taxByteFromIndex(taxIndex))
{
    setName(name);
}

DeptRecord DeptRecord::decode(const QByteArray &bytes)
{
    ByteReader in(bytes);
    DeptRecord r;
    r.number = in.i8();
    r.m_name = in.raw(NameSize);
    r.vat = in.i8();
    r.tax = in.u8();
    return r;
}

QByteArray DeptRecord::encode() const
{
    ByteWriter out;
    out.i8(number);
    out.raw(m_name, NameSize);
    out.i8(vat);
    out.u8(tax);
    return out.bytes();
}

QString DeptRecord::name() const
{
    return ParamsImage::text(m_name);
}

void DeptRecord::setName(const QString &name)
{
    m_name = ParamsImage::textField(name, NameMax, NameSize);
}

int DeptRecord::taxIndexFromByte(quint8 byte)
{
    if (byte == 0)
        return 0;
    int bit = 0;
    while (!(byte & (1u << bit)))
        ++bit;
    return bit + 1;
}

quint8 DeptRecord::taxByteFromIndex(int index)
{
    // Indexes beyond the tax list have no bit of their own.
    if (index < 1 || index > 8)
        return 0;
    return static_cast<quint8>(1u << (index - 1));
}
