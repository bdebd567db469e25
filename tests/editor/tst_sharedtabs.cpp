#include "editor/depttab.h"
#include "editor/depttablemodel.h"
#include "editor/designtab.h"
#include "editor/positionlistmodel.h"
#include "editor/positiontab.h"
#include "params/deptrecord.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "tests/support/widgets/windowdriver.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace WindowDriver;

namespace {

std::unique_ptr<DeviceParams> makeSet(bool family53)
{
    if (family53)
        return std::make_unique<DeviceParams53>();
    return std::make_unique<DeviceParams52>();
}

QByteArray savedImage(DeviceParams *set)
{
    QByteArray params;
    QByteArray system;
    set->save(params, system);
    return params;
}

// Null past the last line a page has.
QLineEdit *line(QWidget *tab, const char *prefix, int i)
{
    return tab->findChild<QLineEdit *>(QLatin1String(prefix) + QString::number(i));
}

}

// The positions, departments and receipt design pages work on both families'
// sets, so every case runs against each.
class TestSharedTabs : public QObject
{
    Q_OBJECT

private slots:
    void family_data()
    {
        QTest::addColumn<bool>("family53");
        QTest::newRow("2.52") << false;
        QTest::newRow("2.53") << true;
    }

    void positionNamesShownAndStored_data() { family_data(); }
    void positionNamesShownAndStored()
    {
        QFETCH(bool, family53);
        auto set = makeSet(family53);
        PositionTab tab;
        tab.show();
        tab.loadParams(set.get());
        auto *view = child<QListView>(&tab, QStringLiteral("positionView"));
        QVERIFY(view);
        QAbstractItemModel *model = view->model();
        QCOMPARE(model->rowCount(), 8);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Кассир"));
        QCOMPARE(model->index(7, 0).data().toString(), QStringLiteral("Ген.директор"));

        // Blank names are refused; spaces around a real name are kept.
        QVERIFY(typeInto(view, model->index(1, 0), QStringLiteral("   ")));
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("Ст.кассир"));
        QVERIFY(typeInto(view, model->index(2, 0), QStringLiteral(" Бухгалтер ")));
        QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral(" Бухгалтер "));
        // The editor stops at 16 characters.
        QVERIFY(typeInto(view, model->index(3, 0),
                         QStringLiteral("Заместитель директора")));
        QCOMPARE(model->index(3, 0).data().toString(), QStringLiteral("Заместитель дире"));

        tab.storeParams(set.get());
        QCOMPARE(set->positionName(1), QStringLiteral("Ст.кассир"));
        QCOMPARE(set->positionName(2), QStringLiteral(" Бухгалтер "));
        QCOMPARE(set->positionName(3), QStringLiteral("Заместитель дире"));
        // A full name fills its record without a terminator.
        const QByteArray image = savedImage(set.get());
        QCOMPARE(image.mid(DeviceParams::PositionsOffset + 3 * PositionName::Size, PositionName::Size),
                 QByteArray("\xc7\xe0\xec\xe5\xf1\xf2\xe8\xf2\xe5\xeb\xfc \xe4\xe8\xf0\xe5"));
    }

    void positionModelSignalsRealChangesOnly()
    {
        PositionListModel model;
        model.setNames({QStringLiteral("Кассир"), QStringLiteral("Директор")});
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        const QModelIndex second = model.index(1, 0);

        QVERIFY(!model.setData(second, QStringLiteral("Директор")));
        QVERIFY(!model.setData(second, QStringLiteral(" \t ")));
        QVERIFY(!model.setData(second, QString()));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model.names().at(1), QStringLiteral("Директор"));

        QVERIFY(model.setData(second, QStringLiteral("Ген.директор")));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), second);
        QCOMPARE(changed.at(0).at(1).toModelIndex(), second);
        QVERIFY(model.flags(second) & Qt::ItemIsEditable);
        QVERIFY(!model.data(second, Qt::ToolTipRole).isValid());
    }

    void departmentsShownWhateverTheCount()
    {
        DeviceParams53 set;
        set.config().deptCount = 3;
        DeptTab tab;
        tab.loadParams(&set);
        auto *view = child<QTableView>(&tab, QStringLiteral("deptView"));
        QVERIFY(view);
        QAbstractItemModel *model = view->model();
        QCOMPARE(model->rowCount(), 16);
        QCOMPARE(model->columnCount(), 3);
        QCOMPARE(model->index(15, 0).data().toString(), QStringLiteral("Отдел 16"));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("Без НДС"));
        QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("НЕТ"));
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Наименование"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Ставка НДС"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("СНО"));
        QVERIFY(!model->headerData(0, Qt::Vertical).isValid());
    }

    void departmentCodesConverted_data() { family_data(); }
    void departmentCodesConverted()
    {
        QFETCH(bool, family53);
        auto set = makeSet(family53);
        QVector<DeptRecord> &depts = set->departments();
        depts[0].tax = 5;   // two systems set: the lowest wins
        depts[1].vat = 0;   // no valid rate
        depts[2].tax = 0x20;
        for (int i = 0; i < depts.size(); ++i)
            depts[i].number = static_cast<qint8>(100 + i);

        DeptTab tab;
        tab.show();
        tab.loadParams(set.get());
        auto *view = child<QTableView>(&tab, QStringLiteral("deptView"));
        QAbstractItemModel *model = view->model();
        QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("ОБЩАЯ"));
        QCOMPARE(model->index(0, 2).data(Qt::EditRole).toInt(), 1);
        QVERIFY(model->index(1, 1).data().toString().isEmpty());
        QCOMPARE(model->index(2, 2).data().toString(), QStringLiteral("ПАТЕНТ"));

        QVERIFY(choose(view, model->index(1, 1), QStringLiteral("Без НДС")));
        QVERIFY(choose(view, model->index(3, 2), QStringLiteral("ПАТЕНТ")));
        QVERIFY(choose(view, model->index(2, 2), QStringLiteral("НЕТ")));
        QVERIFY(choose(view, model->index(4, 1), QStringLiteral("НДС 0%")));
        tab.storeParams(set.get());

        QCOMPARE(int(set->departments().at(0).tax), 1);
        QCOMPARE(int(set->departments().at(1).vat), 1);
        QCOMPARE(int(set->departments().at(2).tax), 0);
        QCOMPARE(int(set->departments().at(3).tax), 32);
        QCOMPARE(int(set->departments().at(4).vat), 6);
        // The department number is the register's, not the editor's.
        for (int i = 0; i < 16; ++i)
            QCOMPARE(int(set->departments().at(i).number), 100 + i);

        const QByteArray image = savedImage(set.get());
        const int base = set->deptPage() * DeviceParams::PageSize;
        QCOMPARE(int(image.at(base + 15)), 1);
        QCOMPARE(int(image.at(base + 3 * DeptRecord::Size + 15)), 32);
        QCOMPARE(int(image.at(base + 3 * DeptRecord::Size)), 103);
    }

    void departmentNameEditing()
    {
        DeviceParams53 set;
        DeptTab tab;
        tab.show();
        tab.loadParams(&set);
        auto *view = child<QTableView>(&tab, QStringLiteral("deptView"));
        QAbstractItemModel *model = view->model();

        QVERIFY(typeInto(view, model->index(0, 0), QString()));
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Отдел 1"));
        QVERIFY(typeInto(view, model->index(1, 0),
                         QStringLiteral("Бакалея и крупы весовые")));
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("Бакалея и кр"));
        tab.storeParams(&set);
        QCOMPARE(set.departments().at(0).name(), QStringLiteral("Отдел 1"));
        QCOMPARE(set.departments().at(1).name(), QStringLiteral("Бакалея и кр"));
    }

    void designLinesShownInAFixedFont()
    {
        DesignTab tab;
        for (const char *prefix : {"headerLine", "footerLine"}) {
            for (int i = 0; i < DesignTab::LineCount; ++i) {
                QLineEdit *edit = line(&tab, prefix, i);
                QVERIFY(edit);
                QCOMPARE(edit->maxLength(), 22);
                QCOMPARE(edit->font().family(), QStringLiteral("Monospace"));
                QCOMPARE(edit->font().styleHint(), QFont::TypeWriter);
                QVERIFY(!edit->font().italic());
            }
        }
        QVERIFY(!line(&tab, "headerLine", 6));
        auto *header = child<QGroupBox>(&tab, QStringLiteral("headerLineGroup"));
        auto *footer = child<QGroupBox>(&tab, QStringLiteral("footerLineGroup"));
        QCOMPARE(header->title(), QStringLiteral("Заголовок чека"));
        QCOMPARE(footer->title(), QStringLiteral("Подвал чека"));
        auto *grid = qobject_cast<QGridLayout *>(tab.layout());
        QVERIFY(grid);
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(header), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(QPoint(column, row), QPoint(0, 0));
        grid->getItemPosition(grid->indexOf(footer), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(QPoint(column, row), QPoint(1, 0));

        QLineEdit *first = line(&tab, "headerLine", 0);
        first->clear();
        typeText(first, QString(30, QLatin1Char('x')));
        QCOMPARE(first->text(), QString(22, QLatin1Char('x')));
    }

    void designThreeLinesStoreSixLines_data() { family_data(); }
    void designThreeLinesStoreSixLines()
    {
        QFETCH(bool, family53);
        auto set = makeSet(family53);
        set->setHeaderLines({QStringLiteral("ООО Ромашка"), QStringLiteral("г. Тула"), QStringLiteral("Добро пожаловать")});
        DesignTab tab;
        tab.loadParams(set.get());
        QCOMPARE(line(&tab, "headerLine", 2)->text(), QStringLiteral("Добро пожаловать"));
        QVERIFY(line(&tab, "headerLine", 3)->text().isEmpty());
        tab.storeParams(set.get());

        const QByteArray image = savedImage(set.get());
        const QByteArray header = image.mid(set->designPage() * DeviceParams::PageSize, ReceiptText::Size);
        QCOMPARE(header.count('\n'), 5);
        QVERIFY(header.left(header.indexOf('\0')).endsWith("\n\n\n"));
        QCOMPARE(set->headerLines().size(), 6);
        QCOMPARE(set->headerLines().at(0), QStringLiteral("ООО Ромашка"));
        // An empty footer is six empty lines.
        QCOMPARE(set->footerLines().join(QLatin1Char('|')), QStringLiteral("|||||"));
    }

    void designKeepsOnlySixLines()
    {
        DeviceParams53 set;
        QStringList lines;
        for (int i = 1; i <= 8; ++i)
            lines << QStringLiteral("Строка %1").arg(i);
        set.setFooterLines(lines);
        DesignTab tab;
        tab.loadParams(&set);
        QCOMPARE(line(&tab, "footerLine", 5)->text(), QStringLiteral("Строка 6"));
        tab.storeParams(&set);
        QCOMPARE(set.footerLines(), lines.mid(0, 6));
    }

    // A wider line from the register survives a load and a store untouched;
    // typing still stops at the printed width, and so does the next load.
    void designKeepsAWiderLineItWasGiven()
    {
        const QString wide = QStringLiteral("г. Москва, ул. Примерная, 1");
        DeviceParams53 set;
        set.setHeaderLines({QStringLiteral("ООО Ромашка"), wide});
        DesignTab tab;
        tab.loadParams(&set);
        QCOMPARE(line(&tab, "headerLine", 1)->text(), wide);
        tab.storeParams(&set);
        QCOMPARE(set.headerLines().at(1), wide);

        QLineEdit *first = line(&tab, "headerLine", 0);
        typeText(first, QString(30, QLatin1Char('x')));
        QCOMPARE(first->text().size(), 22);
        set.setHeaderLines({QStringLiteral("Короткая")});
        tab.loadParams(&set);
        QCOMPARE(line(&tab, "headerLine", 1)->maxLength(), 22);
    }

    void designShorterLoadClearsOlderLines()
    {
        DeviceParams53 older;
        older.setHeaderLines({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")});
        older.setFooterLines({QStringLiteral("Спасибо"), QStringLiteral("за покупку")});
        DeviceParams53 newer;
        newer.setHeaderLines({QStringLiteral("Новый")});

        DesignTab tab;
        tab.loadParams(&older);
        tab.loadParams(&newer);
        for (int i = 1; i < DesignTab::LineCount; ++i)
            QVERIFY2(line(&tab, "headerLine", i)->text().isEmpty(), qPrintable(QString::number(i)));
        QVERIFY(line(&tab, "footerLine", 0)->text().isEmpty());
        tab.storeParams(&newer);
        QCOMPARE(newer.headerLines().join(QLatin1Char('|')), QStringLiteral("Новый|||||"));
        QCOMPARE(newer.footerLines().join(QLatin1Char('|')), QStringLiteral("|||||"));
    }
};

QTEST_MAIN(TestSharedTabs)
#include "tst_sharedtabs.moc"
