#include "sim/demo/demoregister.h"

#include "goods/goodscodec.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "sim/registersimulator.h"

#include <QDateTime>

namespace {

constexpr int SystemArea = 1;
constexpr int ParamsArea = 2;
constexpr int GoodsArea = 5;

// Valid check digits throughout, so a check of the demo set shows only what
// is deliberately left open.
const char kOrgInn[] = "7728123459";
const char kOfdInn[] = "7709234562";

void fillShared(DeviceParams &params)
{
    const QStringList positions = {QStringLiteral("Кассир"), QStringLiteral("Ст. кассир"),
                                   QStringLiteral("Администратор"), QStringLiteral("Управляющий")};
    for (int i = 0; i < positions.size(); ++i)
        params.setPositionName(i, positions.at(i));
    const QStringList depts = {QStringLiteral("Бакалея"), QStringLiteral("Молочные"),
                               QStringLiteral("Напитки"), QStringLiteral("Хлеб")};
    for (int i = 0; i < depts.size() && i < params.departments().size(); ++i)
        params.departments()[i].setName(depts.at(i));
    params.setHeaderLines({QStringLiteral("   ООО \"ДЕМО-МАРКЕТ\""), QStringLiteral("г. Москва, ул. Примерная, 1"),
                           QStringLiteral("  Добро пожаловать!")});
    params.setFooterLines({QStringLiteral("  Спасибо за покупку!"), QStringLiteral("  Ждём вас снова")});
}

bool putArea(RegisterSimulator &sim, int id, const QByteArray &content, QString *error)
{
    if (sim.setAreaContent(id, content))
        return true;
    *error = QStringLiteral("area %1 does not take %2 bytes").arg(id).arg(content.size());
    return false;
}

bool putGoods(RegisterSimulator &sim, QString *error)
{
    return putArea(sim, GoodsArea, encodeGoods(DemoRegister::sampleGoods(), true), error);
}

}

GoodsList DemoRegister::sampleGoods()
{
    struct Row { const char *name; const char *intcode; const char *barcode; double price; int dept; };
    static const Row rows[] = {
        {"Хлеб белый нарезной", "1", "4607000000014", 45.90, 4},
        {"Батон нарезной", "2", "4607000000021", 52.50, 4},
        {"Молоко 3,2% 1 л", "3", "4607000000038", 89.99, 2},
        {"Кефир 2,5% 0,9 л", "4", "4607000000045", 94.00, 2},
        {"Сметана 20% 300 г", "5", "4607000000052", 119.00, 2},
        {"Сыр российский 200 г", "6", "4607000000069", 239.90, 2},
        {"Гречка ядрица 900 г", "7", "4607000000076", 109.00, 1},
        {"Рис круглозёрный 800 г", "8", "4607000000083", 99.50, 1},
        {"Сахар-песок 1 кг", "9", "4607000000090", 84.90, 1},
        {"Чай чёрный 100 пак.", "10", "4607000000106", 329.00, 1},
        {"Вода минеральная 1,5 л", "11", "4607000000113", 64.00, 3},
        {"Сок яблочный 1 л", "12", "4607000000120", 139.90, 3},
        {"Пакет-майка", "13", "", 5.00, 1},
    };
    GoodsList goods;
    for (const Row &row : rows)
        goods.append({QString::fromUtf8(row.name), QString::fromLatin1(row.intcode),
                      QString::fromLatin1(row.barcode), row.price, row.dept});
    return goods;
}

bool DemoRegister::fill(RegisterSimulator &sim, QString *error)
{
    const QByteArray serial = sim.serial();
    const bool ok = sim.family() == SimFamily::F252 ? fill252(sim, error) : fill253(sim, error);
    // The tables are written over the serial's page: put it back.
    sim.setSerial(serial);
    return ok;
}

bool DemoRegister::fill253(RegisterSimulator &sim, QString *error)
{
    DeviceParams53 params;
    fillShared(params);
    params.org().setInn(QLatin1String(kOrgInn));
    params.org().setName(QStringLiteral("Общество с ограниченной ответственностью \"Демо-Маркет\""));
    params.org().setAddress(QStringLiteral("123456, г. Москва, ул. Примерная, д. 1"));
    params.org().setPlace(QStringLiteral("Магазин \"Демо-Маркет\", торговый зал"));
    params.org().setEmail(QStringLiteral("kassa@demo-market.example"));
    params.ofd().setInn(QLatin1String(kOfdInn));
    params.ofd().setAddress(QStringLiteral("ofd.example"));
    params.ofd().setName(QStringLiteral("ООО \"Демо ОФД\""));
    params.ofd().setCheckSite(QStringLiteral("check.ofd.example"));
    params.ofd().setTaxSite(QStringLiteral("www.nalog.gov.ru"));
    params.ofd().port = 7777;
    params.registration().setSerial(QString::fromLatin1(sim.serial()));
    // Passes the register's check against the serial 2530000001 and the INN above.
    params.registration().setRegNumber(QStringLiteral("0001234567019176"));
    params.registration().setFnNumber(QStringLiteral("9999078900001234"));
    if (params.users().size() > 1) {
        params.users()[0].setFullName(QStringLiteral("Иванова Мария Петровна"));
        params.users()[1].setFullName(QStringLiteral("Петров Сергей Иванович"));
    }
    QByteArray image = sim.areaContent(ParamsArea);
    QByteArray unused;
    params.save(image, unused);
    return putArea(sim, ParamsArea, image, error) && putGoods(sim, error);
}

bool DemoRegister::fill252(RegisterSimulator &sim, QString *error)
{
    DeviceParams52 params;
    fillShared(params);
    params.org().setInn(QLatin1String(kOrgInn));
    params.org().setName(QStringLiteral("ООО \"Демо-Маркет\""));
    params.org().setAddress(QStringLiteral("г. Москва, ул. Примерная, д. 1"));
    params.ofd().setAddress(QStringLiteral("ofd.example"));
    params.ofd().setSite(QStringLiteral("check.ofd.example"));
    params.ofd().port = 7777;
    RegistrationRecord52 record;
    record.setDateTime(QDateTime(QDate(2024, 3, 15), QTime(10, 30)));
    record.setRegNumber(QStringLiteral("0001234567019176"));
    record.setInn(QLatin1String(kOrgInn));
    record.setFnNumber(QStringLiteral("9999078900001234"));
    record.taxSystems = 0x01;
    params.history().append(record);
    QByteArray image = sim.areaContent(ParamsArea);
    QByteArray system = sim.areaContent(SystemArea);
    params.save(image, system);
    return putArea(sim, ParamsArea, image, error) && putArea(sim, SystemArea, system, error)
        && putGoods(sim, error);
}
