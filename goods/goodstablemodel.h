#pragma once

#include "goods/goodsitem.h"

#include <QAbstractTableModel>
#include <QStringList>

// The goods table: one row per article. The edit role carries the raw values
// (department as its number); the display role shows the department's name.
class GoodsTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, IntcodeColumn, BarcodeColumn, PriceColumn, DeptColumn, ColumnCount };

    explicit GoodsTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    // New rows hold GoodsItem's defaults. A range outside the table is refused.
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // Replaces every row; the table is then unmodified.
    void setGoods(const GoodsList &goods);
    GoodsList goods() const;

    // Whether a cell was changed or a row inserted or removed since the rows
    // were last set or the table was last marked saved.
    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    // Department number d is named departmentNames()[d - 1].
    void setDepartmentNames(const QStringList &names);
    QStringList departmentNames() const;

signals:
    void modifiedChanged(bool modified);

private:
    QVariant departmentName(int dept) const;
    // Stores `value` in `column` of `item`; false when it is already there.
    static bool store(GoodsItem &item, int column, const QVariant &value);

    GoodsList m_goods;
    QStringList m_departmentNames;
    bool m_modified = false;
};
