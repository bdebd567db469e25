#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

// Edits a cell the way a user does: opens the view's editor for it, types and
// presses Return, so the cell's delegate decides what reaches the model.
namespace ViewEditing {

// A named control of a page; a missing one is named in the log, and the
// caller's check of the null result fails.
template<typename T>
T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no child %s", name);
    return found;
}

// QTest::keyClicks() knows only ASCII; this types any text key by key.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// The delegate commits and closes its editor through a queued call.
inline void finishEditing()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template<typename Editor>
inline Editor *openEditor(QAbstractItemView *view, const QModelIndex &index)
{
    view->setCurrentIndex(index);
    view->edit(index);
    return qobject_cast<Editor *>(view->indexWidget(index));
}

inline bool typeIntoCell(QAbstractItemView *view, const QModelIndex &index, const QString &text)
{
    auto *editor = openEditor<QLineEdit>(view, index);
    if (!editor)
        return false;
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    typeText(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    finishEditing();
    return true;
}

inline bool chooseInCell(QAbstractItemView *view, const QModelIndex &index, const QString &item)
{
    auto *combo = openEditor<QComboBox>(view, index);
    if (!combo)
        return false;
    combo->hidePopup();
    const int row = combo->findText(item);
    if (row < 0)
        return false;
    combo->setCurrentIndex(row);
    QTest::keyClick(combo, Qt::Key_Return);
    finishEditing();
    return true;
}

}
