#pragma once

#include <QStyledItemDelegate>

// Shows and edits the price column. A price is shown right-aligned with two
// decimals, or with every digit it has when two would hide some, so that the
// screen never shows another amount than the one the register gets. The
// editor takes 0 and up with at most two decimals ("." or ","); a text it
// cannot take leaves the price as it was.
class PriceItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit PriceItemDelegate(QObject *parent = nullptr);

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    // The price as the column shows it.
    static QString priceText(double price);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
