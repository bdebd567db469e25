#pragma once

#include <QSortFilterProxyModel>

// The goods view's model over GoodsTableModel. Row numbers in the vertical
// header follow the view order, and every sort() is announced first, so that
// problems listed by view row can be dropped before the rows move.
class GoodsSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit GoodsSortFilterProxyModel(QObject *parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Sorts by the display role, so the department column sorts by name.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    void sorting();
};
