#include "goods/goodscodec.h"
#include "goods/goodssortfilterproxymodel.h"
#include "goods/goodstablemodel.h"
#include "goodswindow/goodswindow.h"
#include "params/deviceprofile.h"
#include "tests/goods/goodssamples.h"
#include "tests/support/core/simulators.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"
#include "widgets/goodsissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using GoodsSamples::item;
using namespace WindowDriver;

// The goods window as an engineer meets it with a real price list: what the
// table shows, finding an article, the keys of the table, the status bar, the
// problem dock, unsaved edits and prices the register cannot take.
namespace {

const QString kSerial = QStringLiteral("2530000077");
const QStringList kDepartments = {QStringLiteral("Бакалея"), QStringLiteral("Напитки")};
const QString kUnsaved = QStringLiteral("Изменения не сохранены. Продолжить без сохранения?");

GoodsList priceList()
{
    return GoodsList() << item(QStringLiteral("Чай чёрный байховый 100 пакетиков"), "10", "4607000000106", 329, 1)
                       << item(QStringLiteral("Кофе молотый 250 г"), "11", "4607000000113", 12345.67, 1)
                       << item(QStringLiteral("Вода минеральная"), "12", "96385074", 1234567.5, 2)
                       << item(QStringLiteral("Чай зелёный"), "13", "", 45.9, 1)
                       << item(QStringLiteral("Яблоки"), "14", "", 0.01, 2);
}

QStringList names(const QAbstractItemModel *model)
{
    QStringList out;
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->index(row, GoodsTableModel::NameColumn).data().toString();
    return out;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestGoodsTable : public QObject
{
    Q_OBJECT

private:
    // A shown window over `goods` kept in the register's profile.
    std::unique_ptr<GoodsWindow> openWindow(const GoodsList &goods, const QString &address,
                                            int capacity = 2000)
    {
        if (!goods.isEmpty())
            DeviceProfile().saveGoods(kSerial, encodeGoods(goods, false));
        auto w = std::make_unique<GoodsWindow>();
        w->setDevice(kSerial, capacity, address, Simulators::WindowPort, kDepartments);
        show(w.get());
        return w;
    }

    QModelIndex cell(GoodsWindow *w, int row, int column) { return w->proxy()->index(row, column); }

    QString shown(GoodsWindow *w, int row, int column)
    {
        const QModelIndex index = cell(w, row, column);
        auto *delegate = qobject_cast<QStyledItemDelegate *>(w->view()->itemDelegate(index));
        return delegate ? delegate->displayText(index.data(), QLocale()) : QString();
    }

    int currentRow(GoodsWindow *w) { return w->view()->currentIndex().row(); }

    QTemporaryDir m_dir;

private slots:
    void pricesShowAsTheRegisterHoldsThem_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("text");
        QTest::newRow("12345.67") << 12345.67 << QStringLiteral("12345.67");
        QTest::newRow("1234567.5") << 1234567.5 << QStringLiteral("1234567.50");
        QTest::newRow("45.9") << 45.9 << QStringLiteral("45.90");
        QTest::newRow("whole") << 329.0 << QStringLiteral("329.00");
        // Two decimals would show an amount the check then reports as wrong.
        QTest::newRow("three decimals") << 0.125 << QStringLiteral("0.125");
        QTest::newRow("negative") << -5.0 << QStringLiteral("-5.00");
    }

    void pricesShowAsTheRegisterHoldsThem()
    {
        QFETCH(double, price);
        QFETCH(QString, text);
        WindowSandbox sandbox;
        auto w = openWindow(GoodsList() << item(QStringLiteral("Товар"), "1", "", 1, 1), QStringLiteral("127.0.20.1"));
        QVERIFY(w->model()->setData(w->model()->index(0, GoodsTableModel::PriceColumn), price));
        QCOMPARE(shown(w.get(), 0, GoodsTableModel::PriceColumn), text);
        // The model keeps the value itself.
        QCOMPARE(cell(w.get(), 0, GoodsTableModel::PriceColumn).data(Qt::EditRole).toDouble(), price);
    }

    void columnsFitAfterALoad()
    {
        WindowSandbox sandbox;
        auto w = openWindow(priceList(), QStringLiteral("127.0.20.2"));
        QTableView *view = w->view();
        const QFontMetrics metrics(view->font());
        for (int row = 0; row < priceList().size(); ++row) {
            for (int column : {GoodsTableModel::BarcodeColumn, GoodsTableModel::PriceColumn}) {
                const QString text = shown(w.get(), row, column);
                QVERIFY2(metrics.horizontalAdvance(text) < view->columnWidth(column), qPrintable(text));
            }
        }
        // The name takes what the other columns leave.
        int width = 0;
        for (int column = 0; column < GoodsTableModel::ColumnCount; ++column)
            width += view->columnWidth(column);
        QVERIFY(qAbs(width - view->viewport()->width()) <= 2);
    }

    void opensInTheRegistersOrderUntilAHeaderIsClicked()
    {
        WindowSandbox sandbox;
        auto w = openWindow(priceList(), QStringLiteral("127.0.20.3"));
        QHeaderView *header = w->view()->horizontalHeader();
        QCOMPARE(names(w->proxy()), names(w->model()));
        QCOMPARE(header->sortIndicatorSection(), -1);

        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(header->sortIndicatorSection(), 0);
        QCOMPARE(names(w->proxy()).first(), QStringLiteral("Вода минеральная"));
        QCOMPARE(w->proxy()->headerData(0, Qt::Vertical).toInt(), 1);

        // Rows loaded anew stand in their own order again.
        const QString path = m_dir.filePath(QStringLiteral("order.csv"));
        QVERIFY(writeFile(path, "name;intcode;barcode;price;dept\nB;1;;1;1\nA;2;;1;1\n"));
        sandbox.dialogs.answerFile(path);
        trigger(w.get(), "actionFileLoad");
        QCOMPARE(names(w->proxy()), QStringList() << "B" << "A");
        QCOMPARE(header->sortIndicatorSection(), -1);
    }

    void findSelectsTheNextMatchAndGoesRound()
    {
        WindowSandbox sandbox;
        auto w = openWindow(priceList(), QStringLiteral("127.0.20.4"));
        press(w->view(), Qt::Key_F, Qt::ControlModifier);
        auto *edit = child<QLineEdit>(w.get(), "findEdit");
        QVERIFY(edit && edit->isVisible());
        QCOMPARE(QApplication::focusWidget(), edit);

        typeText(edit, QStringLiteral("ЧАЙ"));
        press(edit, Qt::Key_Return);
        QCOMPARE(currentRow(w.get()), 0);
        press(edit, Qt::Key_F3);
        QCOMPARE(currentRow(w.get()), 3);
        QVERIFY(statusMessage(w.get()).isEmpty());
        press(edit, Qt::Key_F3);
        QCOMPARE(currentRow(w.get()), 0);
        QCOMPARE(statusMessage(w.get()), QStringLiteral("Поиск продолжен с начала таблицы"));
        press(edit, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(currentRow(w.get()), 3);
        QCOMPARE(statusMessage(w.get()), QStringLiteral("Поиск продолжен с конца таблицы"));
        // The whole row is selected, and nothing is filtered away.
        QCOMPARE(w->view()->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(w->proxy()->rowCount(), priceList().size());

        // Internal codes and barcodes are searched too.
        for (const auto &[text, row] : {std::pair<QString, int>{"4607000000113", 1}, {"14", 4}}) {
            retype(edit, text);
            press(edit, Qt::Key_Return);
            QCOMPARE(currentRow(w.get()), row);
        }
        retype(edit, QStringLiteral("молоко"));
        press(edit, Qt::Key_F3);
        QCOMPARE(currentRow(w.get()), 4);
        QCOMPARE(statusMessage(w.get()), QStringLiteral("Не найдено: молоко"));

        press(edit, Qt::Key_Escape);
        QVERIFY(!edit->isVisible());
        QCOMPARE(QApplication::focusWidget(), w->view());
    }

    void typingOverACellDoesNotEditIt()
    {
        WindowSandbox sandbox;
        auto w = openWindow(priceList(), QStringLiteral("127.0.20.5"));
        const QModelIndex name = cell(w.get(), 1, GoodsTableModel::NameColumn);
        clickCell(w->view(), name);
        typeText(w->view(), QStringLiteral("Молоко"));
        QCOMPARE(name.data().toString(), QStringLiteral("Кофе молотый 250 г"));
        QVERIFY(!w->view()->indexWidget(name));
        QVERIFY(!w->model()->isModified());

        // F2, Enter and a double click open the editor.
        for (const auto &open : {std::function<void()>([&] { press(w->view(), Qt::Key_F2); }),
                                std::function<void()>([&] { press(w->view(), Qt::Key_Return); }),
                                std::function<void()>([&] { doubleClickCell(w->view(), name); })}) {
            w->view()->setFocus();
            open();
            auto *editor = qobject_cast<QLineEdit *>(w->view()->indexWidget(name));
            QVERIFY(editor);
            press(editor, Qt::Key_Escape);
            QTRY_VERIFY(!w->view()->indexWidget(name));
        }
    }

    void insertAndDeleteWorkOnTheTable()
    {
        WindowSandbox sandbox;
        auto w = openWindow(priceList(), QStringLiteral("127.0.20.6"));
        QTableView *view = w->view();
        view->setFocus();
        press(view, Qt::Key_Insert);
        QCOMPARE(w->model()->rowCount(), 6);
        QCOMPARE(view->currentIndex(), cell(w.get(), 5, GoodsTableModel::NameColumn));

        // Delete in an open editor deletes text, not rows.
        press(view, Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(view->currentIndex()));
        QVERIFY(editor);
        press(editor, Qt::Key_Delete);
        QCOMPARE(w->model()->rowCount(), 6);
        press(editor, Qt::Key_Escape);
        QTRY_VERIFY(!view->indexWidget(view->currentIndex()));

        clickCell(view, cell(w.get(), 1, GoodsTableModel::PriceColumn));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          view->visualRect(cell(w.get(), 3, GoodsTableModel::NameColumn)).center());
        press(view, Qt::Key_Delete);
        QCOMPARE(names(w->model()), (QStringList{names(w->model()).value(0), QStringLiteral("Вода минеральная"),
                                                 QStringLiteral("Яблоки"), QString()}));
        QCOMPARE(statusLabel(w.get(), "goodsCount"), QStringLiteral("Товаров: 4 из 1999"));
    }

    void statusBarTellsCountAndSource()
    {
        WindowSandbox sandbox;
        const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), QStringLiteral("127.0.20.7"),
                                           Simulators::WindowPort);
        QVERIFY(sim);
        QVERIFY(sim->setAreaContent(5, encodeGoods(priceList().mid(0, 2), true)));
        auto w = openWindow(priceList(), QStringLiteral("127.0.20.7"), 500);
        QCOMPARE(statusLabel(w.get(), "goodsSource"), QStringLiteral("профиль"));
        QCOMPARE(statusLabel(w.get(), "goodsCount"), QStringLiteral("Товаров: 5 из 499"));

        trigger(w.get(), "actionImport");
        QTRY_COMPARE(w->model()->rowCount(), 2);
        const QRegularExpression clock(QStringLiteral("^ККТ, \\d\\d:\\d\\d$"));
        QVERIFY2(clock.match(statusLabel(w.get(), "goodsSource")).hasMatch(),
                 qPrintable(statusLabel(w.get(), "goodsSource")));
        QCOMPARE(statusLabel(w.get(), "goodsCount"), QStringLiteral("Товаров: 2 из 499"));
        QVERIFY(QRegularExpression(QStringLiteral("^Прочитано из ККТ в \\d\\d:\\d\\d:\\d\\d$"))
                        .match(statusMessage(w.get())).hasMatch());

        const QString path = m_dir.filePath(QStringLiteral("goods.csv"));
        QVERIFY(writeFile(path, "name;intcode;barcode;price;dept\nA;1;;1;1\n"));
        sandbox.dialogs.answerFile(path);
        trigger(w.get(), "actionFileLoad");
        QCOMPARE(statusLabel(w.get(), "goodsSource"), QStringLiteral("файл goods.csv"));
        QCOMPARE(statusLabel(w.get(), "goodsCount"), QStringLiteral("Товаров: 1 из 499"));

        // Passing messages for the window's own actions, each of which
        // leaves the table saved.
        auto edit = [&] { QVERIFY(w->model()->setData(w->model()->index(0, 1), QStringLiteral("7"))); };
        edit();
        trigger(w.get(), "actionProfileExport");
        QVERIFY(statusMessage(w.get()).startsWith(QStringLiteral("Профиль сохранён в ")));
        QVERIFY(!w->model()->isModified());
        edit();
        w->model()->setData(w->model()->index(0, 1), QStringLiteral("8"));
        sandbox.dialogs.answerFile(m_dir.filePath(QStringLiteral("saved.csv")));
        trigger(w.get(), "actionFileSave");
        QCOMPARE(statusMessage(w.get()), QStringLiteral("Файл сохранён: saved.csv"));
        QVERIFY(!w->model()->isModified());
        trigger(w.get(), "actionValidate");
        QCOMPARE(statusMessage(w.get()), QStringLiteral("Проверка: проблем не найдено"));
        edit();
        trigger(w.get(), "actionExport");
        QTRY_VERIFY(statusMessage(w.get()).startsWith(QStringLiteral("Записано в ККТ в ")));
        QCOMPARE(sandbox.dialogs.last().text, QStringLiteral("Выгрузка завершена успешно"));
        QVERIFY(!w->model()->isModified());
        w->model()->insertRows(0, 2);
        trigger(w.get(), "actionValidate");
        QCOMPARE(statusMessage(w.get()), QStringLiteral("Проверка: проблем — 4"));

        // A register without goods in its profile names no source.
        DeviceProfile().saveGoods(QStringLiteral("2530000078"), QByteArray());
        GoodsWindow empty;
        empty.setDevice(QStringLiteral("2530000078"), 0, QStringLiteral("127.0.20.7"), 8080, kDepartments);
        QCOMPARE(statusLabel(&empty, "goodsSource"), QString());
        QCOMPARE(statusLabel(&empty, "goodsCount"), QStringLiteral("Товаров: 0 из 1999"));
    }

    void problemDockLeavesTheTableMostOfTheWindow()
    {
        WindowSandbox sandbox;
        GoodsList broken;
        for (int i = 0; i < 40; ++i)
            broken << item(QString(), QString(), QStringLiteral("1"), -1, 0);
        auto w = openWindow(broken, QStringLiteral("127.0.20.8"));
        trigger(w.get(), "actionValidate");
        QTRY_VERIFY(w->issues()->isVisible());
        QVERIFY2(w->issues()->height() <= w->height() / 3,
                 qPrintable(QStringLiteral("%1 of %2").arg(w->issues()->height()).arg(w->height())));
        QVERIFY(w->view()->height() > w->issues()->height());
    }

    void unsavedEditsAreNotDroppedUnasked_data()
    {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("action");
        QTest::newRow("cell, close") << 0 << QString();
        QTest::newRow("row added, file load") << 1 << QStringLiteral("actionFileLoad");
        QTest::newRow("row removed, register read") << 2 << QStringLiteral("actionImport");
    }

    void unsavedEditsAreNotDroppedUnasked()
    {
        QFETCH(int, edit);
        QFETCH(QString, action);
        WindowSandbox sandbox;
        // A read that gets past the question ends at the probe.
        sandbox.probe.setUnreachable(QStringLiteral("127.0.20.9"));
        auto w = openWindow(priceList(), QStringLiteral("127.0.20.9"));
        auto questions = [&] {
            int count = 0;
            for (const DialogRequest &request : sandbox.dialogs.shown())
                count += request.kind == DialogRequest::Question ? 1 : 0;
            return count;
        };
        // Past the question a file load asks for a file: none is chosen.
        auto act = [&] {
            if (action.isEmpty())
                w->close();
            else
                trigger(w.get(), action);
        };

        if (action == QLatin1String("actionFileLoad"))
            sandbox.dialogs.answerCancel();
        act();
        QCOMPARE(questions(), 0);
        show(w.get());

        if (edit == 0)
            QVERIFY(typeInto(w->view(), cell(w.get(), 0, 0), QStringLiteral("Чай")));
        else if (edit == 1)
            press(w->view(), Qt::Key_Insert);
        else
            QVERIFY(w->model()->removeRows(0, 1));
        const GoodsList edited = w->model()->goods();
        sandbox.dialogs.clear();
        sandbox.dialogs.answerNo();
        act();
        QCOMPARE(sandbox.dialogs.shown().size(), 1);
        QCOMPARE(sandbox.dialogs.last().kind, DialogRequest::Question);
        QCOMPARE(sandbox.dialogs.last().text, kUnsaved);
        QVERIFY(w->isVisible());
        QCOMPARE(w->model()->goods(), edited);

        // Stored in the profile, the edits may go without a question.
        trigger(w.get(), "actionProfileExport");
        sandbox.dialogs.clear();
        if (action == QLatin1String("actionFileLoad"))
            sandbox.dialogs.answerCancel();
        act();
        QCOMPARE(questions(), 0);
    }

    void pricesTheRegisterCannotTakeAreNotStored_data()
    {
        QTest::addColumn<double>("price");
        QTest::newRow("negative") << -5.0;
        QTest::newRow("beyond the record") << 1e20;
        QTest::newRow("three decimals") << 1.005;
    }

    void pricesTheRegisterCannotTakeAreNotStored()
    {
        QFETCH(double, price);
        WindowSandbox sandbox;
        const auto sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), QStringLiteral("127.0.20.11"),
                                           Simulators::WindowPort);
        QVERIFY(sim);
        auto w = openWindow(priceList(), QStringLiteral("127.0.20.11"));
        w->model()->setData(w->model()->index(3, GoodsTableModel::PriceColumn), price);
        trigger(w.get(), "actionExport");
        QCOMPARE(sandbox.dialogs.shown().size(), 1);
        QCOMPARE(sandbox.dialogs.last().kind, DialogRequest::Warning);
        QCOMPARE(sandbox.dialogs.last().title, QStringLiteral("Выгрузка в ККТ"));
        QCOMPARE(sandbox.dialogs.last().text,
                 QStringLiteral("Цены в строках 4 не могут быть записаны как заданы. Ничего не записано."));
        QCOMPARE(sim->connectionCount(), 0);
        QTRY_VERIFY(w->issues()->isVisible());
        QCOMPARE(w->issues()->model()->index(0, 0).data().toString(),
                 QStringLiteral("4. Цена содержит некорректное значение"));

        trigger(w.get(), "actionProfileExport");
        QCOMPARE(sandbox.dialogs.last().title, QStringLiteral("Сохранить профиль"));
        QByteArray stored;
        DeviceProfile().loadGoods(kSerial, stored);
        QCOMPARE(stored, encodeGoods(priceList(), false));
        QVERIFY(w->model()->isModified());
    }

    void priceEditorTakesCentsFromZeroUp_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("price");
        QTest::newRow("comma") << QStringLiteral("12,5") << 12.5;
        QTest::newRow("point") << QStringLiteral("12345.67") << 12345.67;
        QTest::newRow("zero") << QStringLiteral("0") << 0.0;
        QTest::newRow("no minus") << QStringLiteral("-7") << 7.0;
        QTest::newRow("third decimal refused") << QStringLiteral("0.129") << 0.12;
        QTest::newRow("letters") << QStringLiteral("abc") << 45.9;
    }

    void priceEditorTakesCentsFromZeroUp()
    {
        QFETCH(QString, typed);
        QFETCH(double, price);
        WindowSandbox sandbox;
        auto w = openWindow(priceList(), QStringLiteral("127.0.20.12"));
        QVERIFY(typeInto(w->view(), cell(w.get(), 3, GoodsTableModel::PriceColumn), typed));
        QCOMPARE(w->model()->goods().at(3).price, price);
    }
};

QTEST_MAIN(TestGoodsTable)
#include "tst_goodstable.moc"
