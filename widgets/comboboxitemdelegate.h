#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

// Edits an integer column through a list of choices. The stored value is the
// choice's index plus `offset`, so a 1-based number (a department, a
// position) uses offset 1.
class ComboBoxItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    ComboBoxItemDelegate(const QStringList &items, int offset, QObject *parent = nullptr);

    QStringList items() const;
    int offset() const;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    // Also opens the list at once, so one double click reaches the choices.
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    QStringList m_items;
    int m_offset = 0;
};
