#include "params/checks53.h"

#include "params/checkdigits.h"
#include "params/deviceparams53.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

QString userText(const char *text)
{
    return QCoreApplication::translate("UserTab53", text);
}

QString orgText(const char *text)
{
    return QCoreApplication::translate("OrgTab53", text);
}

QString ofdText(const char *text)
{
    return QCoreApplication::translate("OfdTab53", text);
}

QString registrationText(const char *text)
{
    return QCoreApplication::translate("RegistrationTab53", text);
}

bool validInn(const QString &inn)
{
    return isValidInn(inn.toUtf8().constData(), false);
}

// strtol's reading in base 10, without its locale: leading white space and a
// sign are taken, and the number ends at the first non-digit.
qint64 leadingNumber(const QByteArray &bytes)
{
    int i = 0;
    while (i < bytes.size() && (bytes.at(i) == ' ' || (bytes.at(i) >= '\t' && bytes.at(i) <= '\r')))
        ++i;
    bool negative = false;
    if (i < bytes.size() && (bytes.at(i) == '+' || bytes.at(i) == '-'))
        negative = bytes.at(i++) == '-';
    qint64 value = 0;
    for (; i < bytes.size() && bytes.at(i) >= '0' && bytes.at(i) <= '9'; ++i)
        value = value * 10 + (bytes.at(i) - '0');
    return negative ? -value : value;
}

QByteArray zeroPadded(const QByteArray &bytes, int width)
{
    return QByteArray(qMax(0, width - bytes.size()), '0') + bytes;
}

}

namespace Checks53 {

CheckIssues checkUsers(const QVector<UserRow53> &rows, int defaultCashier)
{
    CheckIssues issues;
    for (const UserRow53 &row : rows) {
        if (row.record == defaultCashier && !row.active)
            issues.append({UserTable, userText("Пользователь по умолчанию (%1) не активен").arg(row.name)});
    }
    for (const UserRow53 &row : rows) {
        if (!isValidInn(row.inn.toUtf8().constData(), true))
            issues.append({UserTable, userText("ИНН пользователя %1 содержит некорректное значение %2")
                                              .arg(row.name, row.inn)});
        if (!isValidBarcode(row.barcode.toUtf8().constData(), true))
            issues.append({UserTable, userText("Штрихкод пользователя %1 содержит некорректное значение %2")
                                              .arg(row.name, row.barcode)});
    }
    return issues;
}

QString filteredText(const QString &text)
{
    static const QRegularExpression controls(QStringLiteral("[\\x{0000}-\\x{001f}]"));
    QString filtered = text;
    return filtered.replace(controls, QStringLiteral(" "));
}

CheckIssues checkOrg(const OrgValues53 &values, bool ofdUsed)
{
    CheckIssues issues;
    if (values.inn.isEmpty())
        issues.append({OrgValues53::Inn, orgText("ИНН организации не задан")});
    else if (!validInn(values.inn))
        issues.append({OrgValues53::Inn,
                       orgText("ИНН организации содержит некорректное значение: %1").arg(values.inn)});
    if (filteredText(values.name).isEmpty())
        issues.append({OrgValues53::Name, orgText("Наименование организации не задано")});
    if (filteredText(values.address).isEmpty())
        issues.append({OrgValues53::Address, orgText("Адрес организации не задан")});
    if (filteredText(values.place).isEmpty())
        issues.append({OrgValues53::Place, orgText("Место расчета не задано")});
    if (ofdUsed && values.email.isEmpty())
        issues.append({OrgValues53::Email, orgText("Адрес электронной почты не задан")});
    return issues;
}

bool ofdUsed(const QString &ofdInn)
{
    return validInn(ofdInn) && ofdInn.contains(QRegularExpression(QStringLiteral("[^0]")));
}

CheckIssues checkOfd(const OfdValues53 &values, bool ofdUsed)
{
    CheckIssues issues;
    const QString badInn = ofdText("ИНН ОФД содержит некорректное значение: %1").arg(values.inn);
    if (values.inn.isEmpty())
        issues.append({OfdValues53::Inn, ofdText("ИНН ОФД не задан")});
    else if (!validInn(values.inn))
        issues.append({OfdValues53::Inn, badInn});
    else if (!ofdUsed && values.inn.size() != 12)
        issues.append({OfdValues53::Inn, badInn});
    if (values.address.isEmpty())
        issues.append({OfdValues53::Address, ofdText("Адрес подключения к ОФД не задан")});
    if (values.port == 0)
        issues.append({OfdValues53::Port, ofdText("Порт подключения к ОФД не задан")});
    if (values.checkSite.isEmpty())
        issues.append({OfdValues53::CheckSite, ofdText("Адрес сайта ОФД не задан")});
    if (values.name.isEmpty())
        issues.append({OfdValues53::Name, ofdText("Наименование ОФД не задано")});
    if (values.taxSite.isEmpty())
        issues.append({OfdValues53::TaxSite, ofdText("Адрес сайта ФНС не задан")});
    return issues;
}

quint16 crc16(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (const char byte : bytes) {
        crc ^= quint16(quint8(byte)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

bool isValidRegNumber(const QString &regNumber, const QString &serial, const QString &orgInn)
{
    const QByteArray r = regNumber.toUtf8();
    if (r.size() != 16)
        return false;
    const QByteArray signedPart = r.left(10) + zeroPadded(orgInn.toUtf8(), 12)
            + zeroPadded(serial.toUtf8(), 20);
    return quint16(leadingNumber(r.mid(10))) == crc16(signedPart);
}

CheckIssues checkRegistration(const RegistrationValues53 &values, const QString &orgInn)
{
    CheckIssues issues;
    if (values.serial.isEmpty())
        issues.append({RegistrationValues53::Serial, registrationText("Заводской номер не установлен")});
    if (values.regNumber.isEmpty() && !values.fnNumber.isEmpty())
        issues.append({RegistrationValues53::RegNumber,
                       registrationText("Регистрационный номер не установлен")});
    if (values.fnNumber.isEmpty() && !values.regNumber.isEmpty())
        issues.append({RegistrationValues53::FnNumber, registrationText("Номер ФН не установлен")});
    if (!values.serial.isEmpty() && !values.regNumber.isEmpty() && !orgInn.isEmpty()
        && !isValidRegNumber(values.regNumber, values.serial, orgInn))
        issues.append({RegistrationValues53::RegNumber,
                       registrationText("Регистрационный номер содержит некорректное значение")});
    return issues;
}

}

QStringList validateParams53(const DeviceParams53 &params)
{
    const OrgValues53 org = OrgValues53::fromSet(params);
    const OfdValues53 ofd = OfdValues53::fromSet(params);
    const bool ofdUsed = Checks53::ofdUsed(ofd.inn);

    CheckIssues issues;
    issues += Checks53::checkUsers(TabValues53::userRows(params), TabValues53::defaultCashierIndex(params));
    issues += Checks53::checkOrg(org, ofdUsed);
    issues += Checks53::checkOfd(ofd, ofdUsed);
    issues += Checks53::checkRegistration(RegistrationValues53::fromSet(params), org.inn);

    QStringList texts;
    for (const CheckIssue &issue : qAsConst(issues))
        texts.append(issue.text);
    return texts;
}
