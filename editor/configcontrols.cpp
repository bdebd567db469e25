#include "editor/configcontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStandardItemModel>

namespace ConfigControls {

QLineEdit *makeEdit(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    return edit;
}

QSpinBox *makeSpinBox(QWidget *parent, const char *name, int minimum, int maximum, int maxWidth,
                      const QString &suffix)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(minimum, maximum);
    spin->setSuffix(suffix);
    // The size hint fits the widest value with its suffix and the arrows; a
    // narrower box would cut "3600 с" to "36".
    spin->setMaximumWidth(qMax(maxWidth, spin->sizeHint().width()));
    return spin;
}

QCheckBox *makeCheckBox(QWidget *parent, const char *name, const QString &text)
{
    auto *check = new QCheckBox(text, parent);
    check->setObjectName(QLatin1String(name));
    return check;
}

QComboBox *makeComboBox(QWidget *parent, const char *name)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    return combo;
}

// Only a standard item model knows enabled items; a combo box fed otherwise
// keeps every item selectable.
void setItemEnabled(QComboBox *combo, int row, bool enabled)
{
    auto *model = qobject_cast<QStandardItemModel *>(combo->model());
    if (!model)
        return;
    if (QStandardItem *item = model->item(row))
        item->setEnabled(enabled);
}

}
