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

}
