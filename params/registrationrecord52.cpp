#include "params/registrationrecord52.h"

#include "params/bytereader.h"
#include "params/bytewriter.h"
#include "params/paramsimage.h"

RegistrationRecord52 RegistrationRecord52::decode(const QByteArray &bytes)
{
    ByteReader in(bytes);
    RegistrationRecord52 r;
    r.marker = in.u8();
    r.day = in.u8();
    r.month = in.u8();
    r.year = in.u8();
    r.hour = in.u8();
    r.minute = in.u8();
    r.m_regNumber = in.raw(RegNumberSize);
    r.m_inn = in.raw(InnSize);
    r.m_fnNumber = in.raw(FnNumberSize);
    r.taxSystems = in.u8();
    r.workModes = in.u8();
    r.closed = in.u8();
    return r;
}

QByteArray RegistrationRecord52::encode() const
{
    ByteWriter out;
    out.u8(marker);
    out.u8(day);
    out.u8(month);
    out.u8(year);
    out.u8(hour);
    out.u8(minute);
    out.raw(m_regNumber, RegNumberSize);
    out.raw(m_inn, InnSize);
    out.raw(m_fnNumber, FnNumberSize);
    out.u8(taxSystems);
    out.u8(workModes);
    out.u8(closed);
    out.zeros(3);
    out.u8(out.xorSum());
    return out.bytes();
}

QDateTime RegistrationRecord52::dateTime() const
{
    const QDate date(2000 + year, month, day);
    const QTime time(hour, minute);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time);
}

void RegistrationRecord52::setDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid()) {
        day = month = year = hour = minute = 0;
        return;
    }
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    day = static_cast<quint8>(date.day());
    month = static_cast<quint8>(date.month());
    year = static_cast<quint8>(((date.year() - 2000) % 256 + 256) % 256);
    hour = static_cast<quint8>(time.hour());
    minute = static_cast<quint8>(time.minute());
}

QString RegistrationRecord52::regNumber() const { return ParamsImage::text(m_regNumber); }

void RegistrationRecord52::setRegNumber(const QString &number)
{
    m_regNumber = ParamsImage::textField(number, RegNumberMax, RegNumberSize);
}

QString RegistrationRecord52::inn() const { return ParamsImage::text(m_inn); }

void RegistrationRecord52::setInn(const QString &inn)
{
    m_inn = ParamsImage::textField(inn, InnMax, InnSize);
}

QString RegistrationRecord52::fnNumber() const { return ParamsImage::text(m_fnNumber); }

void RegistrationRecord52::setFnNumber(const QString &number)
{
    m_fnNumber = ParamsImage::textField(number, FnNumberMax, FnNumberSize);
}
