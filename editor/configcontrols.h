#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QWidget;

// The controls the editor pages build again and again, each named for the
// tests and scripts that find it.
namespace ConfigControls {

QLineEdit *makeEdit(QWidget *parent, const char *name, int maxLength);
// A `maxWidth` of QWIDGETSIZE_MAX leaves the width to the layout; a
// narrower one never goes below what the largest value with its `suffix`
// (the value's unit) needs.
QSpinBox *makeSpinBox(QWidget *parent, const char *name, int minimum, int maximum, int maxWidth,
                      const QString &suffix = QString());
QCheckBox *makeCheckBox(QWidget *parent, const char *name, const QString &text = QString());
QComboBox *makeComboBox(QWidget *parent, const char *name);
void setItemEnabled(QComboBox *combo, int row, bool enabled);

}
