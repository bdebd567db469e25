#include "goodsvalidation.h"

#include "checkdigits.h"
#include "goodsissuewidget.h"
#include "goodsrecord.h"
#include "goodstablemodel.h"

#include <QAbstractItemModel>
#include <QCoreApplication>

namespace {

const int kMaxIntcodeLength = 5;

QString tr(const char *text)
{
    return QCoreApplication::translate("GoodsValidation", text);
}

QVariant cell(const QAbstractItemModel *model, int row, int column)
{
    return model->data(model->index(row, column), Qt::EditRole);
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

void validateRow(const QAbstractItemModel *model, int row, int departmentCount,
                 GoodsIssueWidget *issues)
{
    const int number = row + 1;

    const QString name = cell(model, row, GoodsTableModel::NameColumn).toString();
    if (name.isEmpty())
        issues->addIssue(row, GoodsTableModel::NameColumn, tr("%1. Наименование не задано").arg(number));
    else if (name.size() > GoodsRecord::NameMaxBytes)
        issues->addIssue(row, GoodsTableModel::NameColumn,
                         tr("%1. Наименование содержит некорректное значение").arg(number));

    const QString intcode = cell(model, row, GoodsTableModel::IntcodeColumn).toString();
    if (intcode.isEmpty())
        issues->addIssue(row, GoodsTableModel::IntcodeColumn, tr("%1. Внутренний код не задан").arg(number));
    else if (!isValidIntcode(intcode))
        issues->addIssue(row, GoodsTableModel::IntcodeColumn,
                         tr("%1. Внутренний код содержит некорректное значение").arg(number));

    const QByteArray barcode = cell(model, row, GoodsTableModel::BarcodeColumn).toString().toUtf8();
    if (!isValidBarcode(barcode.constData(), true))
        issues->addIssue(row, GoodsTableModel::BarcodeColumn,
                         tr("%1. Штрихкод содержит некорректное значение").arg(number));

    const int dept = cell(model, row, GoodsTableModel::DeptColumn).toInt();
    if (dept < 1 || dept > departmentCount)
        issues->addIssue(row, GoodsTableModel::DeptColumn,
                         tr("%1. Номер отдела содержит некорректное значение").arg(number));
}

}

void validateGoods(const QAbstractItemModel *model, int departmentCount, int capacity,
                   GoodsIssueWidget *issues)
{
    if (!model || !issues)
        return;
    const int rows = model->rowCount();
    if (rows >= capacity)
        issues->addIssue(0, 0, tr("Количество строк %1 превышает лимит %2").arg(rows).arg(capacity - 1));
    for (int row = 0; row < rows; ++row)
        validateRow(model, row, departmentCount, issues);
}
