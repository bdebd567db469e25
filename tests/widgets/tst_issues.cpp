#include "widgets/deviceissue.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/devicewidget.h"
#include "widgets/goodsissue.h"
#include "widgets/goodsissuewidget.h"
#include "widgets/issuedock.h"
#include "widgets/issuelistmodel.h"
#include "widgets/issuelistview.h"
#include "widgets/validationcontext.h"

#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A tab with one line edit that reports an empty edit and shares its text.
class EditTab : public DeviceWidget
{
public:
    explicit EditTab(QWidget *parent = nullptr)
        : DeviceWidget(parent)
        , edit(new QLineEdit(this))
    {
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(edit);
    }

    void storeParams(DeviceParams *) override {}
    void loadParams(DeviceParams *) override {}
    void prepareValidation(ValidationContext *context) override { context->orgInn = edit->text(); }
    void validate(DeviceIssueWidget *issues, const ValidationContext *context) override
    {
        seenInn = context->orgInn;
        if (edit->text().isEmpty())
            issues->addIssue(this, edit, QStringLiteral("пусто"));
    }

    QLineEdit *edit;
    QString seenInn;
};

// What a device window does to check its tabs.
void runValidation(const QList<DeviceWidget *> &tabs, DeviceIssueWidget *dock)
{
    dock->model()->clear();
    ValidationContext context;
    for (DeviceWidget *tab : tabs)
        tab->prepareValidation(&context);
    for (DeviceWidget *tab : tabs)
        tab->validate(dock, &context);
}

void doubleClickRow(QDockWidget *dock, int row)
{
    auto *view = dock->findChild<QListView *>(QStringLiteral("issueView"));
    QVERIFY(view);
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QVERIFY(rect.isValid());
    // A real double click starts with a press on the same entry.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

QStringList texts(const IssueListModel *model)
{
    QStringList out;
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->data(model->index(row, 0)).toString();
    return out;
}

}

class TestIssues : public QObject
{
    Q_OBJECT

private slots:
    void listModel();
    void listModelClearDropsIssues();
    void validationProtocol();
    void deviceDock();
    void deviceDockWithoutTabs();
    void goodsDock();
    void emptyListSaysNothingWasFound();
};

void TestIssues::listModel()
{
    IssueListModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QCOMPARE(model.rowCount(), 0);

    model.addIssue(QSharedPointer<Issue>(new Issue(QStringLiteral("первая"))));
    model.addIssue(QSharedPointer<Issue>(new GoodsIssue(4, 2, QStringLiteral("вторая"))));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 0);
    QCOMPARE(inserted.at(1).at(1).toInt(), 1);
    QCOMPARE(inserted.at(1).at(2).toInt(), 1);

    QCOMPARE(texts(&model), (QStringList{QStringLiteral("первая"), QStringLiteral("вторая")}));
    QVERIFY(!model.data(model.index(0, 0), Qt::EditRole).isValid());
    QVERIFY(!model.data(model.index(0, 0), Qt::ToolTipRole).isValid());
    QVERIFY(!model.data(QModelIndex()).isValid());
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    QVERIFY(model.issue(1).dynamicCast<GoodsIssue>());
    QVERIFY(!model.issue(0).dynamicCast<GoodsIssue>());
    QVERIFY(!model.issue(2));
    QVERIFY(!model.issue(-1));

    model.clear();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 0);
}

void TestIssues::listModelClearDropsIssues()
{
    IssueListModel model;
    QSharedPointer<Issue> issue(new Issue(QStringLiteral("x")));
    QWeakPointer<Issue> weak = issue;
    model.addIssue(issue);
    issue.reset();
    QVERIFY(!weak.isNull());
    model.clear();
    QVERIFY(weak.isNull());
}

void TestIssues::validationProtocol()
{
    QTabWidget tabs;
    auto *first = new EditTab;
    auto *second = new EditTab;
    tabs.addTab(first, QStringLiteral("1"));
    tabs.addTab(second, QStringLiteral("2"));
    DeviceIssueWidget dock(&tabs);
    const QList<DeviceWidget *> list{first, second};

    // Every tab prepares before any tab validates: the first tab already sees
    // what the second one wrote.
    second->edit->setText(QStringLiteral("7707083893"));
    runValidation(list, &dock);
    QCOMPARE(first->seenInn, QStringLiteral("7707083893"));
    QCOMPARE(dock.model()->rowCount(), 1);

    // A second run holds only its own issues.
    second->edit->clear();
    runValidation(list, &dock);
    QCOMPARE(dock.model()->rowCount(), 2);
    const auto a = dock.model()->issue(0).dynamicCast<DeviceIssue>();
    const auto b = dock.model()->issue(1).dynamicCast<DeviceIssue>();
    QVERIFY(a && b);
    QCOMPARE(a->widget.data(), first);
    QCOMPARE(b->widget.data(), second);
    QCOMPARE(b->control.data(), second->edit);

    first->edit->setText(QStringLiteral("a"));
    second->edit->setText(QStringLiteral("b"));
    runValidation(list, &dock);
    QCOMPARE(dock.model()->rowCount(), 0);
}

void TestIssues::deviceDock()
{
    QMainWindow window;
    auto *tabs = new QTabWidget;
    auto *first = new EditTab;
    auto *second = new EditTab;
    tabs->addTab(first, QStringLiteral("1"));
    tabs->addTab(second, QStringLiteral("2"));
    window.setCentralWidget(tabs);
    auto *dock = new DeviceIssueWidget(tabs, &window);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);

    QCOMPARE(dock->windowTitle(), QStringLiteral("Проблемы"));
    QCOMPARE(dock->allowedAreas(), Qt::BottomDockWidgetArea);
    QCOMPARE(qobject_cast<QListView *>(dock->widget())->model(), dock->model());

    dock->addIssue(second, second->edit, QStringLiteral("во второй вкладке"));
    dock->addIssue(first, nullptr, QStringLiteral("без поля"));
    dock->model()->addIssue(QSharedPointer<Issue>(new GoodsIssue(0, 0, QStringLiteral("чужая"))));
    QCOMPARE(texts(dock->model()),
             (QStringList{QStringLiteral("во второй вкладке"), QStringLiteral("без поля"),
                          QStringLiteral("чужая")}));

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(tabs->currentWidget(), first);

    doubleClickRow(dock, 0);
    QCOMPARE(tabs->currentWidget(), second);
    QVERIFY(second->edit->hasFocus());

    // No control: only the tab changes.
    doubleClickRow(dock, 1);
    QCOMPARE(tabs->currentWidget(), first);
    QVERIFY(!first->edit->hasFocus());

    // Not a device issue: ignored.
    doubleClickRow(dock, 2);
    QCOMPARE(tabs->currentWidget(), first);

    // A tab removed without clearing the list leaves a harmless entry.
    tabs->setCurrentWidget(second);
    delete first;
    doubleClickRow(dock, 1);
    QCOMPARE(tabs->currentWidget(), second);
}

void TestIssues::deviceDockWithoutTabs()
{
    QMainWindow window;
    auto *tab = new EditTab;
    window.setCentralWidget(tab);
    auto *dock = new DeviceIssueWidget(nullptr, &window);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->addIssue(tab, tab->edit, QStringLiteral("x"));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    doubleClickRow(dock, 0);
    QVERIFY(!tab->edit->hasFocus());
}

void TestIssues::goodsDock()
{
    QMainWindow window;
    QStandardItemModel model(6, 5);
    auto *table = new QTableView;
    table->setModel(&model);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    window.setCentralWidget(table);
    auto *dock = new GoodsIssueWidget(table, &window);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    QCOMPARE(dock->windowTitle(), QStringLiteral("Проблемы"));
    QCOMPARE(dock->allowedAreas(), Qt::BottomDockWidgetArea);

    dock->addIssue(3, 2, QStringLiteral("4. Штрихкод содержит некорректное значение"));
    dock->addIssue(40, 0, QStringLiteral("строки уже нет"));
    dock->model()->addIssue(QSharedPointer<Issue>(new Issue(QStringLiteral("чужая"))));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    table->selectionModel()->select(QItemSelection(model.index(0, 0), model.index(1, 4)),
                                    QItemSelectionModel::Select);
    doubleClickRow(dock, 0);
    const QModelIndexList selected = table->selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first(), model.index(3, 2));
    QCOMPARE(table->currentIndex(), model.index(3, 2));
    QVERIFY(table->hasFocus());

    // Entries that point nowhere or are of another kind leave the selection alone.
    doubleClickRow(dock, 1);
    QCOMPARE(table->selectionModel()->selectedIndexes(), QModelIndexList{model.index(3, 2)});
    doubleClickRow(dock, 2);
    QCOMPARE(table->selectionModel()->selectedIndexes(), QModelIndexList{model.index(3, 2)});
}

void TestIssues::emptyListSaysNothingWasFound()
{
    const QString nothingFound = QStringLiteral("Проблем не найдено");
    QTabWidget tabs;
    QTableView table;
    DeviceIssueWidget deviceDock(&tabs);
    GoodsIssueWidget goodsDock(&table);
    for (IssueDock *dock : {static_cast<IssueDock *>(&deviceDock), static_cast<IssueDock *>(&goodsDock)}) {
        const QByteArray kind = dock->metaObject()->className();
        auto *view = dock->findChild<IssueListView *>(QStringLiteral("issueView"));
        QVERIFY2(view, kind);
        QCOMPARE(view->placeholderText(), nothingFound);
        dock->resize(320, 120);
        dock->show();
        QVERIFY2(QTest::qWaitForWindowExposed(dock), kind);

        // The words are drawn in the view; the list itself stays empty.
        const QImage saying = view->grab().toImage();
        view->setPlaceholderText(QString());
        const QImage blank = view->grab().toImage();
        QVERIFY2(saying != blank, kind);
        QCOMPARE(dock->model()->rowCount(), 0);

        // A list with problems shows the problems alone.
        dock->model()->addIssue(QSharedPointer<Issue>(new Issue(QStringLiteral("одна"))));
        QCoreApplication::processEvents();
        const QImage listed = view->grab().toImage();
        QVERIFY2(listed != blank, kind);
        view->setPlaceholderText(nothingFound);
        QVERIFY2(view->grab().toImage() == listed, kind);

        // Cleared for the next check, it says so again.
        dock->model()->clear();
        QCoreApplication::processEvents();
        QVERIFY2(view->grab().toImage() == saying, kind);
    }
}

QTEST_MAIN(TestIssues)
#include "tst_issues.moc"
