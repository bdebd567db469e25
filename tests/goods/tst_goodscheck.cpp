#include "goods/goodscheck.h"
#include "goods/goodstablemodel.h"

#include <QtTest>

// The widget-free check the command-line tool runs before a goods write.
class TestGoodsCheck : public QObject
{
    Q_OBJECT

private slots:
    void oneRowReportsEveryColumnInOrder();
    void rowsFollowTheListAndTheLimitComesFirst();
    void pricesTheRecordCannotHold_data();
    void pricesTheRecordCannotHold();
};

namespace {

GoodsItem goods(const QString &name, const QString &intcode, const QString &barcode, int dept,
                double price = 0.0)
{
    GoodsItem g;
    g.price = price;
    g.name = name;
    g.intcode = intcode;
    g.barcode = barcode;
    g.dept = dept;
    return g;
}

}

// Found by QCOMPARE through argument lookup, so not in the unnamed namespace.
char *toString(const GoodsProblem &p)
{
    return QTest::toString(QStringLiteral("(%1, %2) %3").arg(p.row).arg(p.column).arg(p.text));
}

void TestGoodsCheck::oneRowReportsEveryColumnInOrder()
{
    const QVector<GoodsProblem> problems = checkGoods({goods("", "12a", "3000001000038", 17, -5)}, 16, 2000);
    const QVector<GoodsProblem> expected{
        {0, GoodsTableModel::NameColumn, QStringLiteral("1. Наименование не задано")},
        {0, GoodsTableModel::IntcodeColumn, QStringLiteral("1. Внутренний код содержит некорректное значение")},
        {0, GoodsTableModel::BarcodeColumn, QStringLiteral("1. Штрихкод содержит некорректное значение")},
        {0, GoodsTableModel::PriceColumn, QStringLiteral("1. Цена содержит некорректное значение")},
        {0, GoodsTableModel::DeptColumn, QStringLiteral("1. Номер отдела содержит некорректное значение")}};
    QCOMPARE(problems.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(problems.at(i), expected.at(i));
    QVERIFY(checkGoods({goods("Хлеб", "12345", "3000001000037", 16)}, 16, 2000).isEmpty());
}

void TestGoodsCheck::rowsFollowTheListAndTheLimitComesFirst()
{
    const GoodsList list{goods("a", "1", "", 1), goods("b", "", "", 1), goods("c", "3", "", 0)};
    const QVector<GoodsProblem> problems = checkGoods(list, 16, 3);
    QCOMPARE(problems.size(), 3);
    QCOMPARE(problems.at(0), (GoodsProblem{0, 0, QStringLiteral("Количество строк 3 превышает лимит 2")}));
    QCOMPARE(problems.at(1), (GoodsProblem{1, 1, QStringLiteral("2. Внутренний код не задан")}));
    QCOMPARE(problems.at(2), (GoodsProblem{2, 4, QStringLiteral("3. Номер отдела содержит некорректное значение")}));
    QVERIFY(checkGoods(list.mid(0, 1), 16, 2).isEmpty());
}

void TestGoodsCheck::pricesTheRecordCannotHold_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<bool>("reported");
    QTest::newRow("zero") << 0.0 << false;
    QTest::newRow("cent") << 0.01 << false;
    QTest::newRow("0.29") << 0.29 << false;
    QTest::newRow("12345.67") << 12345.67 << false;
    QTest::newRow("1234567.5") << 1234567.5 << false;
    QTest::newRow("largest editable") << 9999999999999.99 << false;
    QTest::newRow("1e15") << 1e15 << false;
    QTest::newRow("negative") << -5.0 << true;
    QTest::newRow("negative cent") << -0.01 << true;
    QTest::newRow("three decimals") << 0.125 << true;
    QTest::newRow("tenth of a cent") << 0.001 << true;
    QTest::newRow("large with half a cent") << 12345678.125 << true;
    QTest::newRow("beyond the field") << 1e20 << true;
    QTest::newRow("infinite") << qInf() << true;
    QTest::newRow("not a number") << qQNaN() << true;
}

void TestGoodsCheck::pricesTheRecordCannotHold()
{
    QFETCH(double, price);
    QFETCH(bool, reported);
    const QVector<GoodsProblem> problems = checkGoods({goods("a", "1", "", 1), goods("b", "2", "", 1, price)}, 16, 2000);
    const QVector<GoodsProblem> expected{
        {1, GoodsTableModel::PriceColumn, QStringLiteral("2. Цена содержит некорректное значение")}};
    QCOMPARE(problems, reported ? expected : QVector<GoodsProblem>());
}

QTEST_GUILESS_MAIN(TestGoodsCheck)
#include "tst_goodscheck.moc"
