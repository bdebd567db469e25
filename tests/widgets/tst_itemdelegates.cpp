#include "widgets/checkboxitemdelegate.h"
#include "widgets/comboboxitemdelegate.h"
#include "widgets/textitemdelegate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QStyleOptionButton>
#include <QTableView>
#include <QtTest>

namespace {

// A table with a wide check-box column 0 and a text column 1.
struct CheckTable
{
    CheckTable()
        : model(2, 2)
    {
        for (int row = 0; row < 2; ++row) {
            auto *item = new QStandardItem;
            item->setCheckable(true);
            item->setCheckState(Qt::Unchecked);
            item->setEditable(false);
            model.setItem(row, 0, item);
            model.setItem(row, 1, new QStandardItem(QStringLiteral("текст")));
        }
        view.setModel(&model);
        view.setItemDelegateForColumn(0, new CheckBoxItemDelegate(&view));
        view.setColumnWidth(0, 200);
        view.verticalHeader()->setDefaultSectionSize(40);
        view.resize(400, 200);
        view.show();
    }

    Qt::CheckState state(int row) const
    {
        return static_cast<Qt::CheckState>(model.index(row, 0).data(Qt::CheckStateRole).toInt());
    }

    void clickAt(const QPoint &pos)
    {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, pos);
    }

    QStandardItemModel model;
    QTableView view;
};

// Return in an editor commits through a queued call.
void commit(QLineEdit *edit)
{
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
}

// The indicator's place worked out from the style, the way the cell is to centre it.
QRect expectedIndicator(const QTableView &view, const QRect &cell)
{
    QStyleOptionButton button;
    const QSize size = view.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &button, &view).size();
    const int w = cell.right() - cell.left() + 1;
    const int h = cell.bottom() - cell.top() + 1;
    return QRect(cell.left() + w / 2 - size.width() / 2, cell.top() + h / 2 - size.height() / 2,
                 size.width(), size.height());
}

}

class TestItemDelegates : public QObject
{
    Q_OBJECT

private slots:
    void checkBoxMouse();
    void checkBoxKeys();
    void checkBoxNeedsCheckableEnabledCell();
    void checkBoxPaintsAndEdits();
    void comboOffset();
    void textRefusesEmpty();
    void textAllowsEmpty();
};

void TestItemDelegates::checkBoxMouse()
{
    CheckTable t;
    QVERIFY(QTest::qWaitForWindowExposed(&t.view));
    const QRect cell = t.view.visualRect(t.model.index(0, 0));
    const QRect indicator = expectedIndicator(t.view, cell);
    QVERIFY(indicator.width() > 2 && cell.contains(indicator));

    // Where the stock delegate puts its indicator, at the left: no toggle.
    t.clickAt(QPoint(cell.left() + 3, cell.center().y()));
    QCOMPARE(t.state(0), Qt::Unchecked);
    t.clickAt(QPoint(indicator.left() - 1, indicator.center().y()));
    QCOMPARE(t.state(0), Qt::Unchecked);
    t.clickAt(QPoint(indicator.center().x(), indicator.bottom() + 1));
    QCOMPARE(t.state(0), Qt::Unchecked);

    t.clickAt(indicator.center());
    QCOMPARE(t.state(0), Qt::Checked);
    t.clickAt(indicator.topLeft());
    QCOMPARE(t.state(0), Qt::Unchecked);
    t.clickAt(indicator.bottomRight());
    QCOMPARE(t.state(0), Qt::Checked);
    QCOMPARE(t.state(1), Qt::Unchecked);

    // A partial state toggles to checked.
    t.model.item(1, 0)->setCheckState(Qt::PartiallyChecked);
    t.clickAt(expectedIndicator(t.view, t.view.visualRect(t.model.index(1, 0))).center());
    QCOMPARE(t.state(1), Qt::Checked);
}

void TestItemDelegates::checkBoxKeys()
{
    CheckTable t;
    QVERIFY(QTest::qWaitForWindowExposed(&t.view));
    t.view.setCurrentIndex(t.model.index(1, 0));

    QTest::keyClick(&t.view, Qt::Key_Space);
    QCOMPARE(t.state(1), Qt::Checked);
    // The Select key has no character, which QTest::keyClick insists on.
    QKeyEvent select(QEvent::KeyPress, Qt::Key_Select, Qt::NoModifier);
    QApplication::sendEvent(&t.view, &select);
    QCOMPARE(t.state(1), Qt::Unchecked);
    QTest::keyClick(&t.view, Qt::Key_X);
    QCOMPARE(t.state(1), Qt::Unchecked);
    QCOMPARE(t.state(0), Qt::Unchecked);
}

void TestItemDelegates::checkBoxNeedsCheckableEnabledCell()
{
    CheckTable t;
    QVERIFY(QTest::qWaitForWindowExposed(&t.view));
    // Row 0 carries a check state but is not user-checkable; row 1 is disabled.
    t.model.item(0, 0)->setCheckable(false);
    t.model.item(0, 0)->setCheckState(Qt::Unchecked);
    t.model.item(1, 0)->setEnabled(false);

    for (int row = 0; row < 2; ++row) {
        t.clickAt(expectedIndicator(t.view, t.view.visualRect(t.model.index(row, 0))).center());
        QCOMPARE(t.state(row), Qt::Unchecked);
    }
    t.view.setCurrentIndex(t.model.index(0, 0));
    QTest::keyClick(&t.view, Qt::Key_Space);
    QCOMPARE(t.state(0), Qt::Unchecked);

    // A checkable cell without any check state is left alone too.
    auto *bare = new QStandardItem;
    bare->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    t.model.setItem(0, 0, bare);
    t.clickAt(expectedIndicator(t.view, t.view.visualRect(t.model.index(0, 0))).center());
    QVERIFY(!t.model.index(0, 0).data(Qt::CheckStateRole).isValid());
}

void TestItemDelegates::checkBoxPaintsAndEdits()
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), true, Qt::EditRole);
    QTableView view;
    view.setModel(&model);
    CheckBoxItemDelegate delegate;
    view.setItemDelegate(&delegate);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(!view.grab().isNull());

    QStyleOptionViewItem option;
    option.rect = QRect(10, 20, 100, 30);
    QWidget host;
    QWidget *editor = delegate.createEditor(&host, option, model.index(0, 0));
    auto *box = qobject_cast<QCheckBox *>(editor);
    QVERIFY(box);
    QCOMPARE(box->parentWidget(), &host);
    delegate.setEditorData(box, model.index(0, 0));
    QVERIFY(box->isChecked());
    box->setChecked(false);
    delegate.setModelData(box, &model, model.index(0, 0));
    QCOMPARE(model.data(model.index(0, 0), Qt::EditRole), QVariant(false));
    delegate.updateEditorGeometry(box, option, model.index(0, 0));
    QCOMPARE(box->geometry(), option.rect);
}

void TestItemDelegates::comboOffset()
{
    const QStringList names{QStringLiteral("Отдел 1"), QStringLiteral("Отдел 2"), QStringLiteral("Отдел 3")};
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), 1, Qt::EditRole);
    QTableView view;
    view.setModel(&model);
    auto *delegate = new ComboBoxItemDelegate(names, 1, &view);
    view.setItemDelegate(delegate);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    view.edit(model.index(0, 0));
    auto *combo = qobject_cast<QComboBox *>(view.indexWidget(model.index(0, 0)));
    QVERIFY(combo);
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(2), QStringLiteral("Отдел 3"));
    QCOMPARE(combo->currentIndex(), 0);
    QVERIFY(combo->view()->isVisible());
    QCOMPARE(combo->geometry(), view.visualRect(model.index(0, 0)));

    combo->hidePopup();
    combo->setCurrentIndex(2);
    delegate->setModelData(combo, &model, model.index(0, 0));
    QCOMPARE(model.data(model.index(0, 0), Qt::EditRole).toInt(), 3);
    combo->setCurrentIndex(0);
    delegate->setModelData(combo, &model, model.index(0, 0));
    QCOMPARE(model.data(model.index(0, 0), Qt::EditRole).toInt(), 1);
}

void TestItemDelegates::textRefusesEmpty()
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), QStringLiteral("Кассир"));
    QTableView view;
    view.setModel(&model);
    view.setItemDelegate(new TextItemDelegate(14, false, &view));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    view.edit(model.index(0, 0));
    auto *edit = qobject_cast<QLineEdit *>(view.indexWidget(model.index(0, 0)));
    QVERIFY(edit);
    QCOMPARE(edit->maxLength(), 14);
    QCOMPARE(edit->text(), QStringLiteral("Кассир"));
    edit->clear();
    commit(edit);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Кассир"));

    view.edit(model.index(0, 0));
    edit = qobject_cast<QLineEdit *>(view.indexWidget(model.index(0, 0)));
    QVERIFY(edit);
    edit->selectAll();
    edit->insert(QStringLiteral("Старший кассир смены"));
    QCOMPARE(edit->text(), QStringLiteral("Старший кассир"));
    commit(edit);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Старший кассир"));
}

void TestItemDelegates::textAllowsEmpty()
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), QStringLiteral("x"));
    QTableView view;
    view.setModel(&model);
    view.setItemDelegate(new TextItemDelegate(84, true, &view));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    view.edit(model.index(0, 0));
    auto *edit = qobject_cast<QLineEdit *>(view.indexWidget(model.index(0, 0)));
    QVERIFY(edit);
    edit->clear();
    commit(edit);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString());
}

QTEST_MAIN(TestItemDelegates)
#include "tst_itemdelegates.moc"
