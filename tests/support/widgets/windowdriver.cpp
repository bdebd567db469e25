#include "tests/support/widgets/windowdriver.h"

#include "widgets/deviceprogressdialog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <algorithm>

namespace WindowDriver {

namespace {

// Long enough for any exchange a test runs; a watch whose dialog never came
// must not press Cancel in a later test.
constexpr int ProgressWatchMs = 60000;

QWidget *openEditor(QAbstractItemView *view, const QModelIndex &index)
{
    view->setCurrentIndex(index);
    view->edit(index);
    QCoreApplication::processEvents();
    return view->indexWidget(index);
}

// The delegate commits and closes its editor through queued calls.
void finishEditing()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void chooseRow(QComboBox *combo, int row)
{
    combo->setCurrentIndex(row);
    QTest::keyClick(combo, Qt::Key_Return);
    finishEditing();
}

QPoint cellCentre(QAbstractItemView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    return view->visualRect(index).center();
}

} // namespace

void failMissing(const char *kind, const QString &name)
{
    const QByteArray what = QByteArray("no ") + kind + " named " + name.toUtf8();
    QTest::qFail(what.constData(), __FILE__, __LINE__);
}

void trigger(QWidget *window, const QString &actionName)
{
    if (auto *action = child<QAction>(window, actionName))
        action->trigger();
}

void click(QWidget *window, const QString &buttonName)
{
    if (auto *button = child<QAbstractButton>(window, buttonName))
        QTest::mouseClick(button, Qt::LeftButton);
}

bool pressKey(QWidget *window, const QKeySequence &key, QWidget *widget)
{
    if (!window->isVisible() && !show(window))
        return false;
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("%s not active", window->metaObject()->className());
        return false;
    }
    QWidget *target = widget ? widget : window->focusWidget();
    if (!target)
        target = window;
    for (int i = 0; i < key.count(); ++i) {
        const int combined = key[i];
        QTest::keyClick(target, Qt::Key(combined & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(combined & Qt::KeyboardModifierMask));
    }
    return true;
}

QStringList statusLabels(QMainWindow *window)
{
    QList<QLabel *> labels = window->statusBar()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    std::stable_sort(labels.begin(), labels.end(),
                     [](const QLabel *a, const QLabel *b) { return a->x() < b->x(); });
    QStringList texts;
    for (const QLabel *label : labels)
        texts << label->text();
    return texts;
}

int visibleProgressDialogs()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return int(std::count_if(windows.begin(), windows.end(), [](const QWidget *w) {
        return qobject_cast<const DeviceProgressDialog *>(w) && w->isVisible();
    }));
}

bool show(QWidget *window, const QSize &size)
{
    if (size.isValid())
        window->resize(size);
    window->show();
    if (QTest::qWaitForWindowExposed(window))
        return true;
    qWarning("%s not exposed", window->metaObject()->className());
    return false;
}

QWidget *showPage(QWidget *window, const QString &pageName)
{
    auto *page = child<QWidget>(window, pageName);
    if (!page)
        return nullptr;
    for (QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
        if (tabs->indexOf(page) >= 0) {
            tabs->setCurrentWidget(page);
            return page;
        }
    }
    failMissing("QTabWidget", QStringLiteral("holding ") + pageName);
    return page;
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(widget, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    typeText(edit, text);
}

void press(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    pressKey(widget->window(), QKeySequence(int(key) | int(modifiers)), widget);
}

bool typeInto(QAbstractItemView *view, const QModelIndex &index, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(openEditor(view, index));
    if (!edit)
        return false;
    retype(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    finishEditing();
    return true;
}

bool choose(QAbstractItemView *view, const QModelIndex &index, int item)
{
    auto *combo = qobject_cast<QComboBox *>(openEditor(view, index));
    if (!combo)
        return false;
    combo->hidePopup();
    chooseRow(combo, item);
    return true;
}

bool choose(QAbstractItemView *view, const QModelIndex &index, const QString &item)
{
    auto *combo = qobject_cast<QComboBox *>(openEditor(view, index));
    if (!combo)
        return false;
    combo->hidePopup();
    const int row = combo->findText(item);
    if (row < 0)
        return false;
    chooseRow(combo, row);
    return true;
}

bool toggleInEditor(QAbstractItemView *view, const QModelIndex &index)
{
    auto *check = qobject_cast<QCheckBox *>(openEditor(view, index));
    if (!check)
        return false;
    QTest::keyClick(check, Qt::Key_Space);
    QTest::keyClick(check, Qt::Key_Return);
    finishEditing();
    return true;
}

void clickCell(QAbstractItemView *view, const QModelIndex &index)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(view, index));
}

void doubleClickCell(QAbstractItemView *view, const QModelIndex &index)
{
    const QPoint at = cellCentre(view, index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

QString statusMessage(QWidget *window)
{
    auto *main = qobject_cast<QMainWindow *>(window);
    if (!main) {
        failMissing("QMainWindow", window->objectName());
        return QString();
    }
    return main->statusBar()->currentMessage();
}

QString statusLabel(QWidget *window, const QString &labelName)
{
    auto *main = qobject_cast<QMainWindow *>(window);
    if (!main) {
        failMissing("QMainWindow", window->objectName());
        return QString();
    }
    auto *label = child<QLabel>(main->statusBar(), labelName);
    return label ? label->text() : QString();
}

void cancelProgressAt(const QString &label)
{
    auto *watch = new QTimer(QCoreApplication::instance());
    watch->setInterval(10);
    const QDeadlineTimer deadline(ProgressWatchMs);
    QObject::connect(watch, &QTimer::timeout, watch, [watch, label, deadline] {
        auto *dialog = qobject_cast<DeviceProgressDialog *>(QApplication::activeModalWidget());
        const bool showing = dialog && dialog->labelText() == label;
        if (!showing && !deadline.hasExpired())
            return;
        watch->stop();
        watch->deleteLater();
        if (!showing)
            return;
        if (auto *cancel = dialog->findChild<QPushButton *>())
            QTest::mouseClick(cancel, Qt::LeftButton);
    });
    watch->start();
}

} // namespace WindowDriver
