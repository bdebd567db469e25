#include "goods/goodscheck.h"

#include "goods/goodsrecord.h"
#include "goods/goodstablemodel.h"
#include "params/checkdigits.h"

#include <QCoreApplication>

namespace {

const int kMaxIntcodeLength = 5;

QString tr(const char *text)
{
    return QCoreApplication::translate("GoodsValidation", text);
}

bool isValidIntcode(const QString &intcode)
{
    if (intcode.size() > kMaxIntcodeLength)
        return false;
    for (const QChar c : intcode) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

void checkRow(const GoodsItem &item, int row, int departmentCount, QVector<GoodsProblem> &problems)
{
    const int number = row + 1;
    auto report = [&](int column, const char *text) {
        problems.append({row, column, tr(text).arg(number)});
    };

    if (item.name.isEmpty())
        report(GoodsTableModel::NameColumn, "%1. Наименование не задано");
    else if (item.name.size() > GoodsRecord::NameMaxBytes)
        report(GoodsTableModel::NameColumn, "%1. Наименование содержит некорректное значение");

    if (item.intcode.isEmpty())
        report(GoodsTableModel::IntcodeColumn, "%1. Внутренний код не задан");
    else if (!isValidIntcode(item.intcode))
        report(GoodsTableModel::IntcodeColumn, "%1. Внутренний код содержит некорректное значение");

    const QByteArray barcode = item.barcode.toUtf8();
    if (!isValidBarcode(barcode.constData(), true))
        report(GoodsTableModel::BarcodeColumn, "%1. Штрихкод содержит некорректное значение");

    // Anything else would reach the register as another price than the one shown.
    if (!GoodsRecord::canStorePrice(item.price))
        report(GoodsTableModel::PriceColumn, "%1. Цена содержит некорректное значение");

    if (item.dept < 1 || item.dept > departmentCount)
        report(GoodsTableModel::DeptColumn, "%1. Номер отдела содержит некорректное значение");
}

}

bool GoodsProblem::operator==(const GoodsProblem &other) const
{
    return row == other.row && column == other.column && text == other.text;
}

QVector<GoodsProblem> checkGoods(const GoodsList &goods, int departmentCount, int capacity)
{
    QVector<GoodsProblem> problems;
    const int rows = goods.size();
    const QString limit = goodsRowLimit(rows, capacity);
    if (!limit.isEmpty())
        problems.append({0, 0, limit});
    for (int row = 0; row < rows; ++row)
        checkRow(goods.at(row), row, departmentCount, problems);
    return problems;
}

QString goodsRowLimit(int rows, int capacity)
{
    if (rows < capacity)
        return QString();
    return tr("Количество строк %1 превышает лимит %2").arg(rows).arg(capacity - 1);
}
