#include "widgets/textitemdelegate.h"

#include <QLineEdit>

TextItemDelegate::TextItemDelegate(int maxLength, bool allowEmpty, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_maxLength(maxLength)
    , m_allowEmpty(allowEmpty)
{
}

int TextItemDelegate::maxLength() const
{
    return m_maxLength;
}

bool TextItemDelegate::allowEmpty() const
{
    return m_allowEmpty;
}

QWidget *TextItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                        const QModelIndex &) const
{
    auto *edit = new QLineEdit(parent);
    edit->setMaxLength(m_maxLength);
    return edit;
}

void TextItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(editor))
        edit->setText(index.data(Qt::EditRole).toString());
}

void TextItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (edit && (!edit->text().isEmpty() || m_allowEmpty))
        model->setData(index, edit->text(), Qt::EditRole);
}

void TextItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
