#include "widgets/editwatcher.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

EditWatcher::EditWatcher(QObject *parent)
    : QObject(parent)
{
}

void EditWatcher::changed()
{
    if (!m_paused)
        emit edited();
}

void EditWatcher::watch(QWidget *root)
{
    watchControl(root);
    for (QWidget *control : root->findChildren<QWidget *>())
        watchControl(control);
}

namespace {

// Spin boxes and combo boxes are built of a line edit and a list of their
// own; the owner's signal speaks for those.
bool isPartOfControl(const QWidget *widget)
{
    for (const QWidget *p = widget->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox *>(p) || qobject_cast<const QComboBox *>(p))
            return true;
    }
    return false;
}

}

void EditWatcher::watchControl(QWidget *control)
{
    if (isPartOfControl(control))
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        connect(edit, &QLineEdit::textChanged, this, &EditWatcher::changed);
    } else if (auto *spin = qobject_cast<QSpinBox *>(control)) {
        connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, &EditWatcher::changed);
    } else if (auto *doubleSpin = qobject_cast<QDoubleSpinBox *>(control)) {
        connect(doubleSpin, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &EditWatcher::changed);
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &EditWatcher::changed);
        if (combo->isEditable())
            connect(combo, &QComboBox::editTextChanged, this, &EditWatcher::changed);
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        if (button->isCheckable())
            connect(button, &QAbstractButton::toggled, this, &EditWatcher::changed);
    } else if (auto *text = qobject_cast<QTextEdit *>(control)) {
        connect(text, &QTextEdit::textChanged, this, &EditWatcher::changed);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(control)) {
        connect(plain, &QPlainTextEdit::textChanged, this, &EditWatcher::changed);
    } else if (auto *view = qobject_cast<QAbstractItemView *>(control)) {
        // A table's headers show its model too: one connection per model.
        if (QAbstractItemModel *model = view->model())
            connect(model, &QAbstractItemModel::dataChanged, this, &EditWatcher::changed,
                    Qt::UniqueConnection);
    }
}
