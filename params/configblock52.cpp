#include "params/configblock52.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/paramsimage.h"

ConfigBlock52 ConfigBlock52::decode(const QByteArray &bytes)
{
    ByteReader in(bytes);
    ConfigBlock52 c;
    c.kept0 = in.i32();
    c.m_serial = in.raw(SerialSize);
    c.smallFont = static_cast<qint8>(c.readCommon(in));
    c.defaultCashier = in.i16();
    c.kept82 = in.i16();
    return c;
}

QByteArray ConfigBlock52::encode() const
{
    ByteWriter out;
    out.i32(kept0);
    out.raw(m_serial, SerialSize);
    writeCommon(out, static_cast<quint8>(smallFont));
    out.i16(defaultCashier);
    out.i16(kept82);
    return out.bytes();
}

QString ConfigBlock52::serial() const { return ParamsImage::text(m_serial); }

void ConfigBlock52::setSerial(const QString &serial)
{
    m_serial = ParamsImage::textField(serial, SerialSize, SerialSize);
}
