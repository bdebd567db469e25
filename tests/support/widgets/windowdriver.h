#pragma once

#include <QObject>
#include <QSize>
#include <QString>

class QAbstractItemView;
class QKeySequence;
class QLineEdit;
class QMainWindow;
class QModelIndex;
class QStringList;
class QWidget;

// Drives the utility's real windows the way a user does: named controls, menu
// actions, keys and clicks, cell editors. Message boxes, questions and file
// dialogs are not its business: ScriptedDialogs answers those.
//
// Free functions rather than an object, so that a test can name them without a
// qualifier (`using namespace WindowDriver;`). Each takes the widget it acts
// on first; a control that is not there fails the running test and is named
// in the log.
namespace WindowDriver {

// Fails the running test for a control child() did not find.
void failMissing(const char *kind, const QString &name);

// The descendant of `parent` with this object name.
template<typename T>
T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        failMissing(T::staticMetaObject.className(), name);
    return found;
}

// As the action's menu entry or shortcut would.
void trigger(QWidget *window, const QString &actionName);

// A mouse click on the named button.
void click(QWidget *window, const QString &buttonName);

// A key as the user presses it on `widget` (the window's focus widget when
// null): the widget's window is made active first, so that shortcuts of the
// window's actions answer. False, with a warning, when it does not become
// active.
bool pressKey(QWidget *window, const QKeySequence &key, QWidget *widget = nullptr);

// Views open cell editors and take clicks only on screen. False, with a
// warning, when the window does not get there.
bool show(QWidget *window, const QSize &size = QSize());

// Brings the named page to the front of the tab widget holding it.
QWidget *showPage(QWidget *window, const QString &pageName);

// Key by key, any text: QTest's own key clicks know Latin-1 keys only, and
// the register's texts are Cyrillic.
void typeText(QWidget *widget, const QString &text);

// Select all, erase, type.
void retype(QLineEdit *edit, const QString &text);

// pressKey() on the widget's own window.
void press(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A cell is edited through the editor its view opens for it, so that the
// cell's delegate decides what reaches the model. Each returns false when the
// view opens no editor of the expected kind (or the list has no such entry).
bool typeInto(QAbstractItemView *view, const QModelIndex &index, const QString &text);
bool choose(QAbstractItemView *view, const QModelIndex &index, int item);
bool choose(QAbstractItemView *view, const QModelIndex &index, const QString &item);
bool toggleInEditor(QAbstractItemView *view, const QModelIndex &index);

// The middle of a check-box cell is its indicator.
void clickCell(QAbstractItemView *view, const QModelIndex &index);
void doubleClickCell(QAbstractItemView *view, const QModelIndex &index);

// What the status bar of a main window shows: its passing message, the text
// of a label it keeps (found by object name), and the texts of all its labels
// from left to right (the empty ones too).
QString statusMessage(QWidget *window);
QString statusLabel(QWidget *window, const QString &labelName);
QStringList statusLabels(QMainWindow *window);

// Visible modal progress dialogs of exchanges and searches, anywhere.
int visibleProgressDialogs();

// Presses Cancel on the modal progress dialog of an exchange once it shows
// `label`. Call before starting the exchange: the dialog's own event loop
// runs the watch.
void cancelProgressAt(const QString &label);

} // namespace WindowDriver
