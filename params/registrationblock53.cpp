#include "params/registrationblock53.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/paramsimage.h"

RegistrationBlock53 RegistrationBlock53::decode(const QByteArray &bytes)
{
    ByteReader in(bytes);
    RegistrationBlock53 r;
    r.m_serial = in.raw(SerialSize);
    r.m_regNumber = in.raw(RegNumberSize);
    r.m_fnNumber = in.raw(FnNumberSize);
    return r;
}

QByteArray RegistrationBlock53::encode() const
{
    ByteWriter out;
    out.raw(m_serial, SerialSize);
    out.raw(m_regNumber, RegNumberSize);
    out.raw(m_fnNumber, FnNumberSize);
    return out.bytes();
}

QString RegistrationBlock53::serial() const { return ParamsImage::text(m_serial); }

void RegistrationBlock53::setSerial(const QString &serial)
{
    m_serial = ParamsImage::textField(serial, SerialSize, SerialSize);
}

QString RegistrationBlock53::regNumber() const { return ParamsImage::text(m_regNumber); }

void RegistrationBlock53::setRegNumber(const QString &number)
{
    m_regNumber = ParamsImage::textField(number, RegNumberSize, RegNumberSize);
}

QString RegistrationBlock53::fnNumber() const { return ParamsImage::text(m_fnNumber); }

void RegistrationBlock53::setFnNumber(const QString &number)
{
    m_fnNumber = ParamsImage::textField(number, FnNumberSize, FnNumberSize);
}
