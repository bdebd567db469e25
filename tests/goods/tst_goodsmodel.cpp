#include "goods/goodssortfilterproxymodel.h"
#include "goods/goodstablemodel.h"
#include "goodswindow/goodsvalidation.h"
#include "tests/goods/goodssamples.h"
#include "widgets/goodsissue.h"
#include "widgets/goodsissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QTableView>
#include <QtTest>

using GoodsSamples::item;

namespace {

GoodsItem valid(int n)
{
    return item(QStringLiteral("Товар %1").arg(n), QString::number(n % 100000), QString(), 1.0, 1);
}

const QStringList kDepartments{QStringLiteral("Хлеб"), QStringLiteral("Бакалея"), QStringLiteral("Алкоголь")};

// One reported problem, for comparing whole lists.
struct Reported
{
    int row;
    int column;
    QString text;
    bool operator==(const Reported &o) const { return row == o.row && column == o.column && text == o.text; }
};

char *toString(const Reported &issue)
{
    return QTest::toString(QStringLiteral("(%1, %2) %3").arg(issue.row).arg(issue.column).arg(issue.text));
}

QList<Reported> issuesOf(GoodsIssueWidget &dock)
{
    QList<Reported> out;
    for (int row = 0; row < dock.model()->rowCount(); ++row) {
        const auto issue = dock.model()->issue(row).dynamicCast<GoodsIssue>();
        if (issue)
            out << Reported{issue->row, issue->column, issue->text};
    }
    return out;
}

QList<Reported> validate(const GoodsList &goods, int departmentCount, int capacity)
{
    GoodsTableModel model;
    model.setGoods(goods);
    QTableView view;
    GoodsIssueWidget dock(&view);
    validateGoods(&model, departmentCount, capacity, &dock);
    return issuesOf(dock);
}

QStringList column(const QAbstractItemModel &model, int col, int role = Qt::DisplayRole)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.data(model.index(row, col), role).toString();
    return out;
}

}

class TestGoodsModel : public QObject
{
    Q_OBJECT

private slots:
    void headers();
    void dataAndRoles();
    void departmentNames();
    void setDataRoles();
    void insertAndRemove();
    void editsMarkTheTableModified();
    void proxySortsAfterAnnouncing();
    void proxySortsDepartmentsByName();
    void validationTexts();
    void validationFollowsViewOrder();
    void rowLimit();
};

void TestGoodsModel::headers()
{
    GoodsTableModel model;
    QCOMPARE(model.columnCount(), 5);
    const QStringList expected{QStringLiteral("Наименование"), QStringLiteral("Вн. код"),
                               QStringLiteral("Штрихкод"), QStringLiteral("Цена"), QStringLiteral("Отдел")};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(model.headerData(i, Qt::Horizontal).toString(), expected.at(i));
    QVERIFY(!model.headerData(5, Qt::Horizontal).isValid());
    QVERIFY(!model.headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
    QCOMPARE(model.headerData(41, Qt::Vertical).toInt(), 42);
}

void TestGoodsModel::dataAndRoles()
{
    GoodsTableModel model;
    model.setGoods({item(QStringLiteral("Батон"), "12", "96385074", 45.5, 2)});
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    const auto at = [&](int col, int role) { return model.data(model.index(0, col), role); };
    QCOMPARE(at(0, Qt::EditRole).toString(), QStringLiteral("Батон"));
    QCOMPARE(at(1, Qt::DisplayRole).toString(), QStringLiteral("12"));
    QCOMPARE(at(2, Qt::EditRole).toString(), QStringLiteral("96385074"));
    QCOMPARE(at(3, Qt::EditRole).type(), QVariant::Double);
    QCOMPARE(at(3, Qt::DisplayRole).toDouble(), 45.5);
    QCOMPARE(at(4, Qt::EditRole), QVariant(2));
    QVERIFY(!at(4, Qt::DisplayRole).isValid());  // no department names yet
    QVERIFY(!at(0, Qt::ToolTipRole).isValid());
    QVERIFY(!model.data(model.index(0, 5)).isValid());
    QCOMPARE(model.flags(model.index(0, 3)),
             Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled);
}

void TestGoodsModel::departmentNames()
{
    GoodsTableModel model;
    model.setDepartmentNames(kDepartments);
    model.setGoods({item("a", "1", "", 0, 3), item("b", "2", "", 0, 1), item("c", "3", "", 0, 0),
                    item("d", "4", "", 0, -2), item("e", "5", "", 0, 4)});
    QCOMPARE(model.data(model.index(0, 4)).toString(), QStringLiteral("Алкоголь"));
    QCOMPARE(model.data(model.index(1, 4)).toString(), QStringLiteral("Хлеб"));
    for (int row = 2; row < 5; ++row)
        QVERIFY(!model.data(model.index(row, 4)).isValid());
    QCOMPARE(model.departmentNames(), kDepartments);
}

void TestGoodsModel::setDataRoles()
{
    GoodsTableModel model;
    model.setGoods({GoodsItem()});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(!model.setData(model.index(0, 0), "x", Qt::DisplayRole));
    QVERIFY(model.setData(model.index(0, 0), QStringLiteral("Чай")));
    QVERIFY(model.setData(model.index(0, 1), 123));
    QVERIFY(model.setData(model.index(0, 2), QStringLiteral("4006381333931")));
    QVERIFY(model.setData(model.index(0, 3), QStringLiteral("7.25")));
    QVERIFY(model.setData(model.index(0, 4), QStringLiteral("2")));
    QVERIFY(!model.setData(model.index(0, 5), 1));
    QCOMPARE(changed.count(), 5);
    QCOMPARE(model.goods().first(), item(QStringLiteral("Чай"), "123", "4006381333931", 7.25, 2));
}

void TestGoodsModel::insertAndRemove()
{
    GoodsTableModel model;
    model.setGoods({valid(1), valid(2), valid(3)});
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QVERIFY(model.insertRows(1, 2));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 1);
    QCOMPARE(inserted.first().at(2).toInt(), 2);
    QCOMPARE(model.rowCount(), 5);
    const GoodsItem fresh = model.goods().at(1);
    QCOMPARE(fresh.name, QString());
    QCOMPARE(fresh.intcode, QString());
    QCOMPARE(fresh.barcode, QString());
    QCOMPARE(fresh.price, 0.0);
    QCOMPARE(fresh.dept, 1);
    QCOMPARE(model.goods().at(3), valid(2));

    QVERIFY(model.removeRows(1, 2));
    QCOMPARE(model.goods(), (GoodsList{valid(1), valid(2), valid(3)}));
    QVERIFY(model.insertRows(3, 1));
    QCOMPARE(model.rowCount(), 4);

    // Ranges beyond the table change nothing.
    QVERIFY(!model.removeRows(3, 2));
    QVERIFY(!model.insertRows(9, 1));
    QVERIFY(!model.removeRows(-1, 1));
    QCOMPARE(model.rowCount(), 4);
}

void TestGoodsModel::editsMarkTheTableModified()
{
    GoodsTableModel model;
    QSignalSpy marked(&model, &GoodsTableModel::modifiedChanged);
    model.setGoods({valid(1), valid(2)});
    QVERIFY(!model.isModified());

    // An editor closed on the value it opened with changes nothing.
    for (int column = 0; column < GoodsTableModel::ColumnCount; ++column)
        QVERIFY(model.setData(model.index(1, column), model.index(1, column).data(Qt::EditRole)));
    QVERIFY(!model.isModified());
    QVERIFY(marked.isEmpty());

    const std::function<void()> edits[] = {
        [&] { model.setData(model.index(0, GoodsTableModel::PriceColumn), 2.5); },
        [&] { model.setData(model.index(0, GoodsTableModel::DeptColumn), 2); },
        [&] { model.insertRows(2, 1); },
        [&] { model.removeRows(0, 1); },
    };
    for (const auto &edit : edits) {
        edit();
        QVERIFY(model.isModified());
        model.setModified(false);
    }
    QCOMPARE(marked.count(), 8);
    QCOMPARE(marked.last().first().toBool(), false);

    // Refused edits are none.
    QVERIFY(!model.removeRows(5, 1));
    QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("x"), Qt::DisplayRole));
    QVERIFY(!model.isModified());
    model.insertRows(0, 1);
    model.setGoods({valid(3)});
    QVERIFY(!model.isModified());
}

void TestGoodsModel::proxySortsAfterAnnouncing()
{
    GoodsTableModel model;
    model.setGoods({item("b", "2", "", 2, 1), item("c", "3", "", 1, 1), item("a", "1", "", 3, 1)});
    GoodsSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    QStringList orderWhenAnnounced;
    connect(&proxy, &GoodsSortFilterProxyModel::sorting, this,
            [&] { orderWhenAnnounced = column(proxy, 0); });
    QSignalSpy sorting(&proxy, &GoodsSortFilterProxyModel::sorting);

    proxy.sort(0);
    QCOMPARE(sorting.count(), 1);
    QCOMPARE(orderWhenAnnounced, (QStringList{"b", "c", "a"}));
    QCOMPARE(column(proxy, 0), (QStringList{"a", "b", "c"}));
    // Row numbers follow the view, not the model.
    QCOMPARE(proxy.headerData(0, Qt::Vertical).toInt(), 1);
    QCOMPARE(proxy.headerData(2, Qt::Vertical).toInt(), 3);
    QCOMPARE(proxy.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Наименование"));

    proxy.sort(3, Qt::DescendingOrder);
    QCOMPARE(sorting.count(), 2);
    QCOMPARE(column(proxy, 0), (QStringList{"a", "b", "c"}));

    // A view with sorting enabled goes through sort() too.
    QTableView view;
    view.setModel(&proxy);
    view.setSortingEnabled(true);
    const int before = sorting.count();
    view.sortByColumn(1, Qt::DescendingOrder);
    QVERIFY(sorting.count() > before);
    QCOMPARE(column(proxy, 0), (QStringList{"c", "b", "a"}));
}

void TestGoodsModel::proxySortsDepartmentsByName()
{
    GoodsTableModel model;
    model.setDepartmentNames(kDepartments);  // Хлеб = 1, Бакалея = 2, Алкоголь = 3
    model.setGoods({item("one", "1", "", 0, 1), item("two", "2", "", 0, 2), item("three", "3", "", 0, 3)});
    GoodsSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.sort(4);
    QCOMPARE(column(proxy, 0), (QStringList{"three", "two", "one"}));
}

void TestGoodsModel::validationTexts()
{
    const GoodsList goods{
        item(QStringLiteral("Хлеб"), "12345", "4006381333931", 10, 3),   // clean, last department
        item(QString(), QString(), "4006381333932", 0, 0),              // everything wrong
        item(QString(90, QChar(0x0416)), "123456", "", 0, 4),
        item("ok", "12a", "96385074", 0, -1),
        item("ok", "1", "40063813339X1", -5, 1),
    };
    const QList<Reported> expected{
        {1, 0, QStringLiteral("2. Наименование не задано")},
        {1, 1, QStringLiteral("2. Внутренний код не задан")},
        {1, 2, QStringLiteral("2. Штрихкод содержит некорректное значение")},
        {1, 4, QStringLiteral("2. Номер отдела содержит некорректное значение")},
        {2, 0, QStringLiteral("3. Наименование содержит некорректное значение")},
        {2, 1, QStringLiteral("3. Внутренний код содержит некорректное значение")},
        {2, 4, QStringLiteral("3. Номер отдела содержит некорректное значение")},
        {3, 1, QStringLiteral("4. Внутренний код содержит некорректное значение")},
        {3, 4, QStringLiteral("4. Номер отдела содержит некорректное значение")},
        {4, 2, QStringLiteral("5. Штрихкод содержит некорректное значение")},
        {4, 3, QStringLiteral("5. Цена содержит некорректное значение")},
    };
    QCOMPARE(validate(goods, 3, 2000), expected);

    // An 84-letter name and a five-digit code are fine.
    QVERIFY(validate({item(QString(84, QChar(0x0416)), "00000", "", 0, 1)}, 1, 2000).isEmpty());
    // Without departments every number is wrong.
    QCOMPARE(validate({valid(1)}, 0, 2000),
             (QList<Reported>{{0, 4, QStringLiteral("1. Номер отдела содержит некорректное значение")}}));
}

void TestGoodsModel::validationFollowsViewOrder()
{
    GoodsTableModel model;
    model.setGoods({item("b", "1", "", 0, 1), item("a", "", "", 0, 1)});
    GoodsSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.sort(0);
    QTableView view;
    view.setModel(&proxy);
    GoodsIssueWidget dock(&view);
    validateGoods(&proxy, 1, 2000, &dock);
    QCOMPARE(issuesOf(dock), (QList<Reported>{{0, 1, QStringLiteral("1. Внутренний код не задан")}}));
}

void TestGoodsModel::rowLimit()
{
    GoodsList goods;
    for (int i = 1; i <= 2000; ++i)
        goods << valid(i);
    goods[1999].intcode.clear();

    const QList<Reported> full = validate(goods, 1, 2000);
    QCOMPARE(full, (QList<Reported>{{0, 0, QStringLiteral("Количество строк 2000 превышает лимит 1999")},
                                 {1999, 1, QStringLiteral("2000. Внутренний код не задан")}}));

    goods.removeLast();
    QVERIFY(validate(goods, 1, 2000).isEmpty());
    QCOMPARE(validate(goods, 1, 1500).value(0).text,
             QStringLiteral("Количество строк 1999 превышает лимит 1499"));
}

QTEST_MAIN(TestGoodsModel)
#include "tst_goodsmodel.moc"
