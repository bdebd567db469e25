#include "widgets/comboboxitemdelegate.h"

#include <QComboBox>

ComboBoxItemDelegate::ComboBoxItemDelegate(const QStringList &items, int offset, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_items(items)
    , m_offset(offset)
{
}

QStringList ComboBoxItemDelegate::items() const
{
    return m_items;
}

int ComboBoxItemDelegate::offset() const
{
    return m_offset;
}

QWidget *ComboBoxItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                            const QModelIndex &) const
{
    auto *combo = new QComboBox(parent);
    combo->addItems(m_items);
    return combo;
}

void ComboBoxItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = qobject_cast<QComboBox *>(editor);
    if (!combo)
        return;
    combo->setCurrentIndex(index.data(Qt::EditRole).toInt() - m_offset);
    combo->showPopup();
}

void ComboBoxItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                        const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        model->setData(index, combo->currentIndex() + m_offset, Qt::EditRole);
}

void ComboBoxItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
