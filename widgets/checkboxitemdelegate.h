#pragma once

#include <QStyledItemDelegate>
#include <QVariant>

// A boolean column drawn as a bare check-box indicator centred in its cell.
// The model answers the display role (drawn state) and the check-state role
// (toggled state) and marks the cells user-checkable. A mouse release toggles
// only inside the indicator, so a click elsewhere in the cell just selects
// it; Space and Select toggle the current cell.
class CheckBoxItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit CheckBoxItemDelegate(QObject *parent = nullptr);

    // What a model answers for a boolean cell this delegate edits: the check
    // state for the display and check-state roles, the bool for the edit role.
    static QVariant checkData(bool value, int role);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // Where the indicator lies in the cell `option.rect`.
    static QRect indicatorRect(const QStyleOptionViewItem &option);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model,
                     const QStyleOptionViewItem &option, const QModelIndex &index) override;
};
