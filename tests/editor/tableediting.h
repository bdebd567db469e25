#pragma once

// Drives the cells of a table view the way a user does: through the editor
// the view opens for the cell, or by clicking the cell.

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>

namespace TableEditing {

// Key clicks for any text: QTest's own only know Latin-1 keys, and the
// register's texts are Cyrillic.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

// Replaces the text of a line edit as a user does: select all, erase, type.
inline void retype(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    typeText(edit, text);
}

inline QWidget *openEditor(QAbstractItemView *view, const QModelIndex &index)
{
    view->setCurrentIndex(index);
    view->edit(index);
    QCoreApplication::processEvents();
    return view->indexWidget(index);
}

// Types `text` into the cell's line editor and commits it with Return.
inline bool typeInto(QAbstractItemView *view, const QModelIndex &index, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(openEditor(view, index));
    if (!edit)
        return false;
    retype(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    return true;
}

// Picks entry `item` of the cell's combo editor and commits it with Return.
inline bool choose(QAbstractItemView *view, const QModelIndex &index, int item)
{
    auto *combo = qobject_cast<QComboBox *>(openEditor(view, index));
    if (!combo)
        return false;
    combo->hidePopup();
    combo->setCurrentIndex(item);
    QTest::keyClick(combo, Qt::Key_Return);
    QCoreApplication::processEvents();
    return true;
}

// Toggles the check box the view opens as the cell's editor and commits it.
inline bool toggleInEditor(QAbstractItemView *view, const QModelIndex &index)
{
    auto *check = qobject_cast<QCheckBox *>(openEditor(view, index));
    if (!check)
        return false;
    QTest::keyClick(check, Qt::Key_Space);
    QTest::keyClick(check, Qt::Key_Return);
    QCoreApplication::processEvents();
    return true;
}

// A click in the middle of a check-box cell hits its centred indicator.
inline void clickCell(QAbstractItemView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(index).center());
}

}
