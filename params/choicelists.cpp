#include "params/choicelists.h"

#include <QCoreApplication>

namespace ChoiceLists {

QStringList taxSystems()
{
    return {
        QCoreApplication::translate("ChoiceLists", "НЕТ"),
        QCoreApplication::translate("ChoiceLists", "ОБЩАЯ"),
        QCoreApplication::translate("ChoiceLists", "УПРОЩ. ДОХОД"),
        QCoreApplication::translate("ChoiceLists", "УПР.ДОХОД-РАСХОД"),
        QCoreApplication::translate("ChoiceLists", "ЕНВД"),
        QCoreApplication::translate("ChoiceLists", "ЕД.С/Х НАЛОГ"),
        QCoreApplication::translate("ChoiceLists", "ПАТЕНТ"),
    };
}

QStringList userRights()
{
    return {
        QCoreApplication::translate("ChoiceLists", "Кассир"),
        QCoreApplication::translate("ChoiceLists", "Ст.кассир"),
        QCoreApplication::translate("ChoiceLists", "Администратор"),
        QCoreApplication::translate("ChoiceLists", "Техник"),
    };
}

QStringList vatRates()
{
    return {
        QCoreApplication::translate("ChoiceLists", "Без НДС"),
        QCoreApplication::translate("ChoiceLists", "НДС 10%"),
        QCoreApplication::translate("ChoiceLists", "НДС 18%"),
        QCoreApplication::translate("ChoiceLists", "НДС 10/110"),
        QCoreApplication::translate("ChoiceLists", "НДС 18/118"),
        QCoreApplication::translate("ChoiceLists", "НДС 0%"),
    };
}

QStringList workModes()
{
    return {
        QCoreApplication::translate("ChoiceLists", "ШИФРОВАНИЕ"),
        QCoreApplication::translate("ChoiceLists", "АВТОНОМНЫЙ РЕЖИМ"),
        QCoreApplication::translate("ChoiceLists", "АВТОМАТИЧ. РЕЖИМ"),
        QCoreApplication::translate("ChoiceLists", "ПРИМ.В СФЕРЕ УСЛУГ"),
        QCoreApplication::translate("ChoiceLists", "РЕЖИМ БСО"),
        QCoreApplication::translate("ChoiceLists", "ПРИМЕН. В ИНТЕРНЕТ"),
    };
}

QStringList displayModes()
{
    return {
        QCoreApplication::translate("ChoiceLists", "Дата"),
        QCoreApplication::translate("ChoiceLists", "Заряд"),
        QCoreApplication::translate("ChoiceLists", "Комбо"),
    };
}

QString bitNames(int bits, const QStringList &names, int first, const QString &none)
{
    QStringList set;
    for (int k = 0; first + k < names.size(); ++k) {
        if (bits & (1 << k))
            set << names.at(first + k);
    }
    return set.isEmpty() ? none : set.join(QLatin1Char(';'));
}

}
