#include "goodswindow/priceitemdelegate.h"

#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

// Thirteen whole digits keep every cent exact in a double, far beyond any
// price a shop sets.
const QRegularExpression &editablePrice()
{
    static const QRegularExpression pattern(QStringLiteral("\\d{1,13}([.,]\\d{0,2})?"));
    return pattern;
}

} // namespace

PriceItemDelegate::PriceItemDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QString PriceItemDelegate::priceText(double price)
{
    const QString cents = QString::number(price, 'f', 2);
    if (cents.toDouble() == price)
        return cents;
    return QString::number(price, 'f', QLocale::FloatingPointShortest);
}

QString PriceItemDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    bool ok = false;
    const double price = value.toDouble(&ok);
    return ok ? priceText(price) : QStyledItemDelegate::displayText(value, locale);
}

void PriceItemDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
}

QWidget *PriceItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                         const QModelIndex &) const
{
    auto *edit = new QLineEdit(parent);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setValidator(new QRegularExpressionValidator(editablePrice(), edit));
    return edit;
}

void PriceItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(editor))
        edit->setText(priceText(index.data(Qt::EditRole).toDouble()));
}

void PriceItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (!edit || !edit->hasAcceptableInput())
        return;
    QString text = edit->text();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double price = text.toDouble(&ok);
    if (ok)
        model->setData(index, price, Qt::EditRole);
}

void PriceItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                             const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
