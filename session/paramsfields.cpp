#include "session/paramsfields.h"

#include "params/choicelists.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "params/money4.h"
#include "params/tabvalues52.h"
#include "params/tabvalues53.h"

namespace {

using Page = FirmwareFamily::Page;

QString yesNo(bool on)
{
    return on ? ParamsFields::tr("да") : ParamsFields::tr("нет");
}

QString seconds(int value)
{
    return ParamsFields::tr("%1 с").arg(value);
}

QString entry(const QStringList &list, int index)
{
    return index >= 0 && index < list.size() ? list.at(index) : QString::number(index + 1);
}

// Appends the fields of one page, in the order the page lays them out.
class PageFields
{
public:
    PageFields(QVector<ParamsField> *fields, const FirmwareFamily &family, Page page)
        : m_fields(fields)
    {
        for (const FirmwareFamily::PageInfo &info : family.pages()) {
            if (info.page == page)
                m_title = info.title;
        }
        m_page = page;
    }

    void form(const QString &label, const QString &value, const char *control, int offset, int size)
    {
        add(0, label, value, control, -1, offset, size);
    }

    void cell(int row, int column, const QString &label, const QString &value, const char *view, int offset,
              int size)
    {
        add(row, label, value, view, column, offset, size);
    }

    void setSystem(bool system) { m_system = system; }

private:
    void add(int row, const QString &label, const QString &value, const char *control, int column, int offset,
             int size)
    {
        ParamsField field;
        field.page = m_page;
        field.pageTitle = m_title;
        field.row = row;
        field.label = label;
        field.value = value;
        field.control = QLatin1String(control);
        field.column = column;
        field.system = m_system;
        field.offset = offset;
        field.size = size;
        m_fields->append(field);
    }

    QVector<ParamsField> *m_fields;
    Page m_page;
    QString m_title;
    bool m_system = false;
};

// What both families' configuration pages share, at the same offsets.
void commonConfig(PageFields &page, const ConfigCommon &c, const QString &defaultDept, const QString &cashier,
                  int cashierOffset, int cashierSize, bool smallFont)
{
    using T = ParamsFields;
    page.form(T::tr("Количество отделов"), QString::number(c.deptCount), "deptCountSpin", 33, 1);
    page.form(T::tr("Отдел по умолчанию"), defaultDept, "defaultDeptCombo", 32, 1);
    page.form(T::tr("Кассир по умолчанию"), cashier, "defaultCashierCombo", cashierOffset, cashierSize);
    page.form(T::tr("Макс. цена"), Money4::toUnsignedText(c.maxPrice, Money4::PriceDecimals), "maxPriceEdit", 44, 8);
    page.form(T::tr("Макс. депозит"), Money4::toUnsignedText(c.maxDeposit, Money4::PriceDecimals), "maxDepositEdit",
              60, 8);
    page.form(T::tr("Макс. кол-во"), Money4::toUnsignedText(c.maxQuantity, Money4::QuantityDecimals),
              "maxQuantityEdit", 68, 8);
    page.form(T::tr("Автоинкассация"), yesNo(c.tradeFlags & ConfigCommon::AutoCollection), "autoCollectionCheck",
              76, 4);
    page.form(T::tr("Редакт.цены БД"), yesNo(c.tradeFlags & ConfigCommon::PriceEditing), "priceEditingCheck", 76, 4);
    page.form(T::tr("Чувствительность"), QString::number(c.keySensitivity), "keySensitivitySpin", 38, 1);
    page.form(T::tr("Звук клавиш"), yesNo(c.keySound != 0), "keySoundCheck", 39, 1);
    page.form(T::tr("Таймер выключения"), seconds(c.displayTimer), "displayTimerSpin", 40, 1);
    page.form(T::tr("Режим индикации"), entry(ChoiceLists::displayModes(), c.displayMode - 1), "displayModeCombo", 41,
              1);
    page.form(T::tr("Размер вн.кода"), QString::number(c.internalCodeSize), "internalCodeSizeSpin", 34, 1);
    page.form(T::tr("Префикс вес.товара"), QString::number(c.weightPrefix), "weightPrefixEdit", 35, 1);
    page.form(T::tr("Плотность печати"), QString::number(c.printDensity), "printDensitySpin", 36, 1);
    page.form(T::tr("Мелкий шрифт"), yesNo(smallFont), "smallFontCheck", 37, 1);
    page.form(T::tr("Печать заголовка"), yesNo(c.printFlags & ConfigCommon::PrintHeader), "printHeaderCheck", 42, 2);
    page.form(T::tr("Печать подвала"), yesNo(c.printFlags & ConfigCommon::PrintFooter), "printFooterCheck", 42, 2);
    page.form(T::tr("Печать налогов"), yesNo(c.printFlags & ConfigCommon::PrintTaxes), "printTaxesCheck", 42, 2);
    page.form(T::tr("Печать QR кода"), yesNo(c.printFlags & ConfigCommon::PrintQr), "printQrCheck", 42, 2);
}

void positions(QVector<ParamsField> *fields, const FirmwareFamily &family, const DeviceParams &set)
{
    PageFields page(fields, family, Page::Positions);
    const QStringList names = set.positionNames();
    for (int i = 0; i < names.size(); ++i)
        page.cell(i + 1, 0, ParamsFields::tr("Должность"), names.at(i), "positionView", 128 + 16 * i, 16);
}

void departments(QVector<ParamsField> *fields, const FirmwareFamily &family, const DeviceParams &set)
{
    using T = ParamsFields;
    PageFields page(fields, family, Page::Departments);
    const QVector<DeptRecord> &depts = set.departments();
    for (int i = 0; i < depts.size(); ++i) {
        const int at = set.deptPage() * DeviceParams::PageSize + 16 * i;
        const DeptRecord &d = depts.at(i);
        page.cell(i + 1, 0, T::tr("Наименование"), d.name(), "deptView", at + 1, 13);
        page.cell(i + 1, 1, T::tr("Ставка НДС"), entry(ChoiceLists::vatRates(), d.vat - 1), "deptView", at + 14, 1);
        page.cell(i + 1, 2, T::tr("СНО"), entry(ChoiceLists::taxSystems(), d.taxIndex()), "deptView", at + 15, 1);
    }
}

void design(QVector<ParamsField> *fields, const FirmwareFamily &family, const DeviceParams &set)
{
    constexpr int Lines = 6;
    PageFields page(fields, family, Page::Design);
    const int at = set.designPage() * DeviceParams::PageSize;
    const QStringList header = set.headerLines();
    const QStringList footer = set.footerLines();
    for (int i = 0; i < Lines; ++i) {
        page.cell(i + 1, -1, ParamsFields::tr("Заголовок чека"), header.value(i),
                  QStringLiteral("headerLine%1").arg(i).toLatin1().constData(), at, 132);
    }
    for (int i = 0; i < Lines; ++i) {
        page.cell(i + 1, -1, ParamsFields::tr("Подвал чека"), footer.value(i),
                  QStringLiteral("footerLine%1").arg(i).toLatin1().constData(), at + 256, 132);
    }
}

QVector<ParamsField> fields53(const DeviceParams53 &set, const FirmwareFamily &family)
{
    using T = ParamsFields;
    QVector<ParamsField> fields;
    const ConfigBlock53 &c = set.config();
    QStringList users;
    for (const UserRecord53 &u : set.users())
        users << u.name();
    QStringList depts;
    for (const DeptRecord &d : set.departments())
        depts << d.name();
    {
        PageFields page(&fields, family, Page::Config);
        commonConfig(page, c, entry(depts, c.defaultDept - 1), entry(users, c.defaultCashier - 1), 80, 1,
                     c.fontFlags & ConfigBlock53::SmallFont);
        page.form(T::tr("Приход"), yesNo(c.tradeModes & ConfigBlock53::SaleAllowed), "saleCheck", 85, 1);
        page.form(T::tr("Расход"), yesNo(c.tradeModes & ConfigBlock53::PurchaseAllowed), "purchaseCheck", 85, 1);
        page.form(T::tr("Осн.режим"), c.mainMode() == 2 ? T::tr("Расход") : T::tr("Приход"), "mainModeCombo", 85, 1);
        const QPair<const char *, int> kinds[] = {{"payCashCheck", ConfigBlock53::PayCash},
                                                  {"payElectronicCheck", ConfigBlock53::PayElectronic},
                                                  {"payCreditCheck", ConfigBlock53::PayCredit},
                                                  {"payPrepaidCheck", ConfigBlock53::PayPrepaid},
                                                  {"payOtherCheck", ConfigBlock53::PayOther}};
        const QStringList kindNames = {T::tr("Наличные"), T::tr("Электронные"), T::tr("Кредит"), T::tr("Предоплата"),
                                       T::tr("Другое")};
        for (int i = 0; i < kindNames.size(); ++i)
            page.form(kindNames.at(i), yesNo(c.paymentKinds & kinds[i].second), kinds[i].first, 84, 1);
    }
    positions(&fields, family, set);
    {
        PageFields page(&fields, family, Page::Users);
        const QVector<UserRow53> rows = TabValues53::userRows(set);
        for (int i = 0; i < rows.size(); ++i) {
            const UserRow53 &u = rows.at(i);
            const int at = DeviceParams53::UsersOffset + UserRecord53::Size * u.record;
            page.cell(i + 1, 0, T::tr("Имя"), u.name, "userView", at, 15);
            page.cell(i + 1, 1, T::tr("Права"), entry(ChoiceLists::userRights(), u.rights - 1), "userView", at + 114, 1);
            page.cell(i + 1, 2, T::tr("Штрихкод"), u.barcode, "userView", at + 15, 14);
            page.cell(i + 1, 3, T::tr("ИНН"), u.inn, "userView", at + 29, 13);
            page.cell(i + 1, 4, T::tr("Полное имя"), u.fullName, "userView", at + 42, 65);
            page.cell(i + 1, 5, T::tr("Пароль"), u.password, "userView", at + 107, 7);
            page.cell(i + 1, 6, T::tr("Должность"), set.positionName(u.position - 1), "userView", at + 115, 1);
            page.cell(i + 1, 7, T::tr("Акт."), yesNo(u.active), "userView", at + 116, 2);
        }
    }
    departments(&fields, family, set);
    {
        PageFields page(&fields, family, Page::Organisation);
        const OrgValues53 v = OrgValues53::fromSet(set);
        const int at = DeviceParams53::OrgOffset;
        page.form(T::tr("ИНН организации"), v.inn, "orgInnEdit", at, 13);
        page.form(T::tr("Наименование организации"), v.name, "orgNameEdit", at + 256, 256);
        page.form(T::tr("Адрес организации"), v.address, "orgAddressEdit", at + 512, 256);
        page.form(T::tr("Место расчета"), v.place, "orgPlaceEdit", at + 768, 256);
        page.form(T::tr("Адрес электронной почты"), v.email, "orgEmailEdit", at + 13, 64);
    }
    design(&fields, family, set);
    {
        PageFields page(&fields, family, Page::Ofd);
        const OfdValues53 v = OfdValues53::fromSet(set);
        const int at = DeviceParams53::OfdOffset;
        page.form(T::tr("Адрес ОФД"), v.address, "ofdAddressEdit", at, 65);
        page.form(T::tr("Порт ОФД"), QString::number(v.port), "ofdPortSpin", at + 78, 2);
        page.form(T::tr("Таймер опроса ФН"), seconds(v.pollTimer), "ofdPollTimerSpin", at + 82, 2);
        page.form(T::tr("Таймер подключения"), seconds(v.connectTimer), "ofdConnectTimerSpin", at + 80, 2);
        page.form(T::tr("ИНН ОФД"), v.inn, "ofdInnEdit", at + 65, 13);
        page.form(T::tr("Наименование ОФД"), v.name, "ofdNameEdit", at + 256, 256);
        page.form(T::tr("Сайт проверки чеков"), v.checkSite, "ofdCheckSiteEdit", at + 768, 256);
        page.form(T::tr("Сайт ФНС"), v.taxSite, "ofdTaxSiteEdit", at + 512, 256);
    }
    {
        PageFields page(&fields, family, Page::Registration);
        const RegistrationValues53 v = RegistrationValues53::fromSet(set);
        const int at = DeviceParams53::RegistrationOffset;
        page.form(T::tr("Заводской номер"), v.serial, "serialEdit", at, 20);
        page.form(T::tr("Регистрационный номер"), v.regNumber, "regNumberEdit", at + 20, 20);
        page.form(T::tr("Номер ФН"), v.fnNumber, "fnNumberEdit", at + 40, 16);
    }
    return fields;
}

QVector<ParamsField> fields52(const DeviceParams52 &set, const FirmwareFamily &family)
{
    using T = ParamsFields;
    QVector<ParamsField> fields;
    const ConfigBlock52 &c = set.config();
    QStringList users;
    for (const UserRecord52 &u : set.users())
        users << u.name();
    QStringList depts;
    for (const DeptRecord &d : set.departments())
        depts << d.name();
    {
        PageFields page(&fields, family, Page::Config);
        commonConfig(page, c, entry(depts, c.defaultDept - 1), entry(users, (c.defaultCashier & 0xFF) - 1), 80, 2,
                     c.smallFont & 1);
    }
    positions(&fields, family, set);
    {
        PageFields page(&fields, family, Page::Users);
        const QVector<UserRow52> rows = TabValues52::userRows(set);
        for (int i = 0; i < rows.size(); ++i) {
            const UserRow52 &u = rows.at(i);
            const int at = DeviceParams52::UsersOffset + UserRecord52::Size * u.record;
            page.cell(i + 1, 0, T::tr("Имя"), u.name, "userView", at + 10, 15);
            page.cell(i + 1, 1, T::tr("Права"), entry(ChoiceLists::userRights(), u.rights - 1), "userView", at + 1, 1);
            page.cell(i + 1, 2, T::tr("Штрихкод"), u.barcode, "userView", at + 2, 6);
            page.cell(i + 1, 3, T::tr("Должность"), set.positionName(u.position - 1), "userView", at + 29, 1);
            page.cell(i + 1, 4, T::tr("Акт."), yesNo(u.active), "userView", at + 8, 2);
        }
    }
    departments(&fields, family, set);
    {
        PageFields page(&fields, family, Page::Organisation);
        const OrgValues52 v = OrgValues52::fromSet(set);
        const int at = DeviceParams52::OrgOffset;
        page.form(T::tr("ИНН организации"), v.inn, "orgInnEdit", at, 12);
        page.form(T::tr("Наименование организации"), v.name, "orgNameEdit", at + 16, 110);
        page.form(T::tr("Адрес организации"), v.address, "orgAddressEdit", at + 136, 110);
    }
    design(&fields, family, set);
    {
        PageFields page(&fields, family, Page::Ofd);
        const OfdValues52 v = OfdValues52::fromSet(set);
        const int at = DeviceParams52::OfdOffset;
        page.form(T::tr("Адрес"), v.address, "ofdAddressEdit", at, 64);
        page.form(T::tr("Порт"), QString::number(v.port), "ofdPortEdit", at + 64, 2);
        page.form(T::tr("Таймер опроса ФН"), seconds(v.pollTimer), "pollTimerSpin", at + 68, 2);
        page.form(T::tr("Таймер подключения"), seconds(v.connectTimer), "connectTimerSpin", at + 66, 2);
        page.form(T::tr("ИНН ОФД"), v.inn, "ofdInnEdit", at + 134, 6);
        page.form(T::tr("Сайт ОФД"), v.site, "ofdSiteEdit", at + 70, 64);
    }
    {
        PageFields page(&fields, family, Page::Registration);
        page.setSystem(true);
        const QVector<RegistrationRow52> rows = TabValues52::registrationRows(set);
        const QStringList taxes = ChoiceLists::taxSystems();
        for (int i = 0; i < rows.size(); ++i) {
            const RegistrationRow52 &r = rows.at(i);
            const int at = RegistrationRecord52::Size * i;
            const int row = i + 1;
            page.cell(row, 0, T::tr("Дата регистрации"), r.dateTime.toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                      "registrationView", at + 1, 5);
            page.cell(row, 1, T::tr("Рег. номер ККТ"), r.regNumber, "registrationView", at + 6, 21);
            page.cell(row, 2, T::tr("ИНН организации"), r.inn, "registrationView", at + 27, 13);
            page.cell(row, 3, T::tr("Рег. номер ФН"), r.fnNumber, "registrationView", at + 40, 17);
            page.cell(row, 4, T::tr("СНО"), ChoiceLists::bitNames(r.taxSystems, taxes, 1, taxes.value(0)),
                      "registrationView", at + 57, 1);
            page.cell(row, 5, T::tr("Режимы работы"),
                      ChoiceLists::bitNames(r.workModes, ChoiceLists::workModes(), 0, QStringLiteral("-")),
                      "registrationView", at + 58, 1);
            page.cell(row, 6, T::tr("Закрыто"), yesNo(r.closed), "registrationView", at + 59, 1);
        }
    }
    return fields;
}

}

bool ParamsField::sameField(const ParamsField &other) const
{
    return page == other.page && row == other.row && label == other.label && control == other.control;
}

QVector<ParamsField> ParamsFields::of(const DeviceParams &set)
{
    if (const auto *set53 = qobject_cast<const DeviceParams53 *>(&set))
        return fields53(*set53, *FirmwareFamily::forMinor(53));
    if (const auto *set52 = qobject_cast<const DeviceParams52 *>(&set))
        return fields52(*set52, *FirmwareFamily::forMinor(52));
    return {};
}
