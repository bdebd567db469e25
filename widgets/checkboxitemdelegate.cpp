#include "widgets/checkboxitemdelegate.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

const int kFallbackIndicatorSize = 13;

QStyle *styleOf(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

bool isToggleKey(const QEvent *event)
{
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Space || key == Qt::Key_Select;
}

}

QVariant CheckBoxItemDelegate::checkData(bool value, int role)
{
    if (role == Qt::DisplayRole || role == Qt::CheckStateRole)
        return int(value ? Qt::Checked : Qt::Unchecked);
    if (role == Qt::EditRole)
        return value;
    return QVariant();
}

CheckBoxItemDelegate::CheckBoxItemDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QWidget *CheckBoxItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                            const QModelIndex &) const
{
    return new QCheckBox(parent);
}

void CheckBoxItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QCheckBox *>(editor))
        box->setChecked(index.data(Qt::EditRole).toBool());
}

void CheckBoxItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                        const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QCheckBox *>(editor))
        model->setData(index, box->isChecked(), Qt::EditRole);
}

void CheckBoxItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

QRect CheckBoxItemDelegate::indicatorRect(const QStyleOptionViewItem &option)
{
    QStyleOptionButton button;
    QSize size = styleOf(option)->subElementRect(QStyle::SE_CheckBoxIndicator, &button,
                                                 option.widget).size();
    if (size.isEmpty())
        size = QSize(kFallbackIndicatorSize, kFallbackIndicatorSize);
    const QRect &cell = option.rect;
    const int cellWidth = cell.right() - cell.left() + 1;
    const int cellHeight = cell.bottom() - cell.top() + 1;
    return QRect(cell.left() + cellWidth / 2 - size.width() / 2,
                 cell.top() + cellHeight / 2 - size.height() / 2,
                 size.width(), size.height());
}

void CheckBoxItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    QStyleOptionButton button;
    button.rect = indicatorRect(option);
    button.state = (option.state & QStyle::State_Enabled)
        | (index.data(Qt::DisplayRole).toBool() ? QStyle::State_On : QStyle::State_Off);
    styleOf(option)->drawPrimitive(QStyle::PE_IndicatorCheckBox, &button, painter, option.widget);
}

bool CheckBoxItemDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                       const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const Qt::ItemFlags flags = model->flags(index);
    if (!(flags & Qt::ItemIsUserCheckable) || !(flags & Qt::ItemIsEnabled))
        return false;
    const QVariant value = index.data(Qt::CheckStateRole);
    if (!value.isValid())
        return false;

    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (!indicatorRect(option).contains(static_cast<QMouseEvent *>(event)->pos()))
            return false;
        break;
    case QEvent::KeyPress:
        if (!isToggleKey(event))
            return false;
        break;
    default:
        return false;
    }

    const Qt::CheckState next =
        value.toInt() == Qt::Checked ? Qt::Unchecked : Qt::Checked;
    return model->setData(index, next, Qt::CheckStateRole);
}
