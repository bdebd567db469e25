#pragma once

#include <QStyledItemDelegate>

// Edits a text column with a length limit. Unless `allowEmpty` is set, an
// editor emptied by the user leaves the stored text as it was.
class TextItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    TextItemDelegate(int maxLength, bool allowEmpty, QObject *parent = nullptr);

    int maxLength() const;
    bool allowEmpty() const;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    int m_maxLength = 0;
    bool m_allowEmpty = false;
};
