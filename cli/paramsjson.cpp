#include "cli/paramsjson.h"

#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "params/money4.h"

#include <QJsonArray>

namespace {

QJsonArray strings(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

// The fields both configuration blocks share, under the same names.
template<typename Config>
QJsonObject commonConfig(const Config &c)
{
    return QJsonObject{
        {QStringLiteral("deptCount"), c.deptCount},
        {QStringLiteral("defaultDept"), c.defaultDept},
        {QStringLiteral("maxPrice"), Money4::priceToText(c.maxPrice)},
        {QStringLiteral("maxDeposit"), Money4::priceToText(c.maxDeposit)},
        {QStringLiteral("maxQuantity"), Money4::quantityToText(c.maxQuantity)},
        {QStringLiteral("autoCollection"), bool(c.tradeFlags & Config::AutoCollection)},
        {QStringLiteral("priceEditing"), bool(c.tradeFlags & Config::PriceEditing)},
        {QStringLiteral("internalCodeSize"), c.internalCodeSize},
        {QStringLiteral("weightPrefix"), c.weightPrefix},
        {QStringLiteral("keySensitivity"), c.keySensitivity},
        {QStringLiteral("keySound"), c.keySound != 0},
        {QStringLiteral("displayTimer"), c.displayTimer},
        {QStringLiteral("displayMode"), c.displayMode},
        {QStringLiteral("printDensity"), c.printDensity},
        {QStringLiteral("printHeader"), bool(c.printFlags & Config::PrintHeader)},
        {QStringLiteral("printFooter"), bool(c.printFlags & Config::PrintFooter)},
        {QStringLiteral("printTaxes"), bool(c.printFlags & Config::PrintTaxes)},
        {QStringLiteral("printQr"), bool(c.printFlags & Config::PrintQr)},
    };
}

// Organisation and OFD members both families have.
template<typename Org>
QJsonObject commonOrg(const Org &org)
{
    return QJsonObject{
        {QStringLiteral("inn"), org.inn()},
        {QStringLiteral("name"), org.name()},
        {QStringLiteral("address"), org.address()},
    };
}

template<typename Ofd>
QJsonObject commonOfd(const Ofd &ofd)
{
    return QJsonObject{
        {QStringLiteral("address"), ofd.address()},
        {QStringLiteral("port"), ofd.port},
        {QStringLiteral("pollTimer"), ofd.pollTimer},
        {QStringLiteral("connectTimer"), ofd.connectTimer},
        {QStringLiteral("inn"), ofd.inn()},
    };
}

QJsonObject config53(const ConfigBlock53 &c)
{
    QJsonObject object = commonConfig(c);
    object.insert(QStringLiteral("defaultCashier"), c.defaultCashier);
    object.insert(QStringLiteral("smallFont"), bool(c.fontFlags & ConfigBlock53::SmallFont));
    object.insert(QStringLiteral("saleAllowed"), bool(c.tradeModes & ConfigBlock53::SaleAllowed));
    object.insert(QStringLiteral("purchaseAllowed"), bool(c.tradeModes & ConfigBlock53::PurchaseAllowed));
    object.insert(QStringLiteral("mainMode"), c.mainMode());
    object.insert(QStringLiteral("payCash"), bool(c.paymentKinds & ConfigBlock53::PayCash));
    object.insert(QStringLiteral("payElectronic"), bool(c.paymentKinds & ConfigBlock53::PayElectronic));
    object.insert(QStringLiteral("payCredit"), bool(c.paymentKinds & ConfigBlock53::PayCredit));
    object.insert(QStringLiteral("payPrepaid"), bool(c.paymentKinds & ConfigBlock53::PayPrepaid));
    object.insert(QStringLiteral("payOther"), bool(c.paymentKinds & ConfigBlock53::PayOther));
    return object;
}

QJsonObject config52(const ConfigBlock52 &c)
{
    QJsonObject object = commonConfig(c);
    object.insert(QStringLiteral("defaultCashier"), c.defaultCashier & 0xFF);
    object.insert(QStringLiteral("smallFont"), c.smallFont != 0);
    return object;
}

QJsonArray users53(const QVector<UserRecord53> &users)
{
    QJsonArray array;
    for (int i = 0; i < users.size(); ++i) {
        const UserRecord53 &u = users.at(i);
        array.append(QJsonObject{
            {QStringLiteral("number"), i + 1},
            {QStringLiteral("name"), u.name()},
            {QStringLiteral("rights"), u.rights},
            {QStringLiteral("barcode"), u.barcode()},
            {QStringLiteral("inn"), u.inn()},
            {QStringLiteral("fullName"), u.fullName()},
            {QStringLiteral("password"), u.password()},
            {QStringLiteral("position"), u.position},
            {QStringLiteral("active"), u.isActive()},
            {QStringLiteral("hidden"), u.isHidden()},
        });
    }
    return array;
}

QJsonArray users52(const QVector<UserRecord52> &users)
{
    QJsonArray array;
    for (const UserRecord52 &u : users) {
        array.append(QJsonObject{
            {QStringLiteral("number"), u.number},
            {QStringLiteral("name"), u.name()},
            {QStringLiteral("rights"), u.rights},
            {QStringLiteral("barcode"), u.barcode()},
            {QStringLiteral("position"), u.position},
            {QStringLiteral("active"), u.isActive()},
            {QStringLiteral("hidden"), u.isHidden()},
        });
    }
    return array;
}

QJsonArray history52(const QVector<RegistrationRecord52> &history)
{
    QJsonArray array;
    for (const RegistrationRecord52 &r : history) {
        const QDateTime when = r.dateTime();
        array.append(QJsonObject{
            {QStringLiteral("dateTime"), when.isValid() ? when.toString(QStringLiteral("yyyy-MM-ddTHH:mm")) : QString()},
            {QStringLiteral("regNumber"), r.regNumber()},
            {QStringLiteral("inn"), r.inn()},
            {QStringLiteral("fnNumber"), r.fnNumber()},
            {QStringLiteral("taxSystems"), r.taxSystems},
            {QStringLiteral("workModes"), r.workModes},
            {QStringLiteral("closed"), r.closed != 0},
        });
    }
    return array;
}

}

QJsonObject ParamsJson::tables(const DeviceParams &params)
{
    if (const auto *p53 = qobject_cast<const DeviceParams53 *>(&params))
        return tables53(*p53);
    if (const auto *p52 = qobject_cast<const DeviceParams52 *>(&params))
        return tables52(*p52);
    return QJsonObject();
}

void ParamsJson::addShared(QJsonObject &object, const DeviceParams &params)
{
    object.insert(QStringLiteral("positions"), strings(params.positionNames()));
    QJsonArray departments;
    for (const DeptRecord &d : params.departments()) {
        departments.append(QJsonObject{
            {QStringLiteral("number"), d.number},
            {QStringLiteral("name"), d.name()},
            {QStringLiteral("vat"), d.vat},
            {QStringLiteral("taxSystem"), d.taxIndex()},
        });
    }
    object.insert(QStringLiteral("departments"), departments);
    object.insert(QStringLiteral("receiptHeader"), strings(params.headerLines()));
    object.insert(QStringLiteral("receiptFooter"), strings(params.footerLines()));
}

QJsonObject ParamsJson::tables53(const DeviceParams53 &params)
{
    QJsonObject object;
    object.insert(QStringLiteral("configuration"), config53(params.config()));
    object.insert(QStringLiteral("users"), users53(params.users()));
    QJsonObject org = commonOrg(params.org());
    org.insert(QStringLiteral("place"), params.org().place());
    org.insert(QStringLiteral("email"), params.org().email());
    object.insert(QStringLiteral("organisation"), org);
    QJsonObject ofd = commonOfd(params.ofd());
    ofd.insert(QStringLiteral("name"), params.ofd().name());
    ofd.insert(QStringLiteral("checkSite"), params.ofd().checkSite());
    ofd.insert(QStringLiteral("taxSite"), params.ofd().taxSite());
    object.insert(QStringLiteral("ofd"), ofd);
    const RegistrationBlock53 &reg = params.registration();
    object.insert(QStringLiteral("registration"), QJsonObject{
        {QStringLiteral("serial"), reg.serial()},
        {QStringLiteral("regNumber"), reg.regNumber()},
        {QStringLiteral("fnNumber"), reg.fnNumber()},
    });
    addShared(object, params);
    return object;
}

QJsonObject ParamsJson::tables52(const DeviceParams52 &params)
{
    QJsonObject object;
    object.insert(QStringLiteral("configuration"), config52(params.config()));
    object.insert(QStringLiteral("users"), users52(params.users()));
    object.insert(QStringLiteral("organisation"), commonOrg(params.org()));
    QJsonObject ofd = commonOfd(params.ofd());
    ofd.insert(QStringLiteral("site"), params.ofd().site());
    object.insert(QStringLiteral("ofd"), ofd);
    object.insert(QStringLiteral("registrationHistory"), history52(params.history()));
    addShared(object, params);
    return object;
}
