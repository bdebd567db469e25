#include "goods/goodscsv.h"
#include "goods/goodssortfilterproxymodel.h"
#include "goods/goodstablemodel.h"
#include "goodswindow/goodsloadprogress.h"
#include "goodswindow/goodswindow.h"
#include "params/cp1251codec.h"
#include "tests/goods/goodssamples.h"
#include "tests/support/core/testsettings.h"
#include "tests/support/widgets/scripteddialogs.h"
#include "tests/support/widgets/windowdriver.h"
#include "widgets/goodsissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using GoodsSamples::item;
using namespace WindowDriver;

namespace {

const QString kTitle = QStringLiteral("Номенклатура");
const QString kHeaderError = QStringLiteral("Ошибка при загрузке. Проверьте формат файла.");

GoodsList someGoods()
{
    return GoodsList() << item(QStringLiteral("Хлеб \"Дарницкий\"; 0,5 кг"), "1", 12345.67, 1)
                       << item(QStringLiteral("Абрикос"), "22", 1234567.5, 2)
                       << item(QStringLiteral("Молоко"), "333", 79.99, 1);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestGoodsFile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GoodsWindow> makeWindow()
    {
        auto w = std::make_unique<GoodsWindow>();
        w->setDevice(QStringLiteral("2530000009"), 2000, QStringLiteral("127.0.0.180"), 8080,
                     {QStringLiteral("Отдел 1"), QStringLiteral("Отдел 2")});
        return w;
    }

    // Loads `bytes` from a file through the menu; the dialogs are left for the caller to read.
    void load(GoodsWindow *w, ScriptedDialogs &dialogs, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("in.csv"));
        QVERIFY(writeFile(path, bytes));
        dialogs.answerFile(path);
        trigger(w, "actionFileLoad");
    }

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        // The progress dialog is driven here; loads this small never wait for it.
        GoodsLoadProgress::setShowDelay(0);
    }

    void saveWritesModelOrderAndLoadsBackTheSameRows()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow();
        w->model()->setGoods(someGoods());
        w->view()->sortByColumn(GoodsTableModel::NameColumn, Qt::AscendingOrder);
        QCOMPARE(w->proxy()->index(0, 0).data().toString(), QStringLiteral("Абрикос"));

        const QString path = m_dir.filePath(QStringLiteral("saved.csv"));
        dialogs.answerFile(path);
        trigger(w.get(), "actionFileSave");
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.last().kind, DialogRequest::SaveFile);
        QCOMPARE(dialogs.last().title, QStringLiteral("Имя файла для выгрузки"));
        QVERIFY(dialogs.last().text.isEmpty());
        QCOMPARE(dialogs.last().items, QStringList() << QStringLiteral("CSV файлы (*.csv)"));

        const QByteArray bytes = readFile(path);
        QVERIFY(bytes.startsWith("name;intcode;barcode;price;dept\n\"\xD5\xEB\xE5\xE1 "));
        QVERIFY(bytes.contains(";12345.67;1\n"));
        QVERIFY(bytes.contains(";1234567.5;2\n"));

        dialogs.clear();
        auto fresh = makeWindow();
        dialogs.answerFile(path);
        trigger(fresh.get(), "actionFileLoad");
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.last().kind, DialogRequest::OpenFile);
        QCOMPARE(dialogs.last().title, QStringLiteral("Имя файла для загрузки"));
        QCOMPARE(dialogs.last().items,
                 QStringList() << QStringLiteral("CSV файлы (*.csv);;Все файлы (*.*)"));
        QCOMPARE(fresh->model()->goods(), someGoods());
    }

    void cancelledDialogsChangeNothing()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow();
        w->model()->setGoods(someGoods());
        const int filesBefore = QDir(m_dir.path()).entryList(QDir::Files).size();
        dialogs.answerCancel();
        trigger(w.get(), "actionFileSave");
        dialogs.answerCancel();
        trigger(w.get(), "actionFileLoad");
        QCOMPARE(dialogs.shown().size(), 2);
        QCOMPARE(w->model()->goods(), someGoods());
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).size(), filesBefore);
    }

    void unwritableAndUnreadableFilesAreReported()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow();
        w->model()->setGoods(someGoods());
        const QString missing = m_dir.filePath(QStringLiteral("no/such/folder/goods.csv"));

        dialogs.answerFile(missing);
        trigger(w.get(), "actionFileSave");
        QCOMPARE(dialogs.last().kind, DialogRequest::Critical);
        QCOMPARE(dialogs.last().title, kTitle);
        QVERIFY2(dialogs.last().text.contains(QDir::toNativeSeparators(missing)),
                 qPrintable(dialogs.last().text));

        dialogs.clear();
        dialogs.answerFile(missing);
        trigger(w.get(), "actionFileLoad");
        QCOMPARE(dialogs.shown().size(), 2);
        QCOMPARE(dialogs.last().kind, DialogRequest::Critical);
        QCOMPARE(dialogs.last().title, kTitle);
        QVERIFY(dialogs.last().text.contains(QDir::toNativeSeparators(missing)));
        QCOMPARE(w->model()->goods(), someGoods());

        // A folder opens but cannot be read as a file.
        dialogs.clear();
        dialogs.answerFile(m_dir.path());
        QMetaObject::invokeMethod(w.get(), "onOldFileLoad");
        QCOMPARE(dialogs.last().kind, DialogRequest::Critical);
        QVERIFY(dialogs.last().text.contains(QDir::toNativeSeparators(m_dir.path())));
        QCOMPARE(w->model()->goods(), someGoods());
    }

    void failedLoadsKeepTheTable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("place");
        const QByteArray header("name;intcode;barcode;price;dept\n");
        QTest::newRow("missing column") << QByteArray("name;intcode;barcode;dept\nA;1;;1\n") << kHeaderError
                                        << QString();
        QTest::newRow("currency sign in row 2")
                << header + "A;1;;1;1\n\n" + "B;2;;12.5\xF0;1\nC;3;;1;1\n"
                << QStringLiteral("Ошибка при загрузке в строке 2. Проверьте формат файла.")
                << QStringLiteral("строка 4, столбец price");
        QTest::newRow("duplicated column")
                << QByteArray("name;intcode;barcode;price;dept;dept\nA;1;;1;1;1\n")
                << QStringLiteral("Ошибка при загрузке в строке 1. Проверьте формат файла.")
                << QStringLiteral("строка 1, столбец dept");
        QTest::newRow("missing field in a utf-8 file")
                << header + QStringLiteral("Сыр;1;;1;1\nМолоко;2;;1\n").toUtf8()
                << QStringLiteral("Ошибка при загрузке в строке 2. Проверьте формат файла.")
                << QStringLiteral("строка 3");
    }

    void failedLoadsKeepTheTable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, place);
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow();
        w->model()->setGoods(someGoods());
        load(w.get(), dialogs, bytes);
        QCOMPARE(dialogs.shown().size(), 2);
        QCOMPARE(dialogs.last().kind, DialogRequest::Critical);
        QCOMPARE(dialogs.last().title, kTitle);
        QCOMPARE(dialogs.last().text, text);
        QCOMPARE(dialogs.last().informative, place);
        QCOMPARE(w->model()->goods(), someGoods());
        auto *progress = w->findChild<QProgressDialog *>();
        QVERIFY(!progress || !progress->isVisible());
    }

    void editedFilesLoad()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow();
        w->model()->setGoods(GoodsList(4));
        trigger(w.get(), "actionValidate");
        QVERIFY(w->issues()->model()->rowCount() > 0);

        // Written as a spreadsheet would: own case, extra column, CRLF, blank lines, comma decimals.
        load(w.get(), dialogs,
             "NAME;IntCode;Note;BARCODE;Price;DEPT\r\n"
             "\"\xD7\xE0\xE9 \"\"\xC1\xE5\xF1\xE5\xE4\xE0\"\"; \xEB\xE8\xF1\xF2\";7;x;46000001;45,50;2\r\n"
             "\r\n"
             "\xA8\xEB\xEA\xE0;8;y;;1234567.5;1\r\n");
        QCOMPARE(dialogs.shown().size(), 1);
        const GoodsList goods = w->model()->goods();
        QCOMPARE(goods.size(), 2);
        QCOMPARE(goods.at(0).name, QStringLiteral("Чай \"Беседа\"; лист"));
        QCOMPARE(goods.at(0).intcode, QStringLiteral("7"));
        QCOMPARE(goods.at(0).barcode, QStringLiteral("46000001"));
        QCOMPARE(goods.at(0).price, 45.5);
        QCOMPARE(goods.at(0).dept, 2);
        QCOMPARE(goods.at(1).name, QStringLiteral("Ёлка"));
        QVERIFY(goods.at(1).price == 1234567.5);
        QCOMPARE(w->issues()->model()->rowCount(), 0);
    }

    void utf8AndWindows1251FilesLoadTheSameNames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("name;intcode;barcode;price;dept\n"
                                            "Чай чёрный \"Ёлка\" №1;1;;329;1\n");
        QTest::newRow("windows-1251") << Cp1251Codec::encode(text);
        QTest::newRow("utf-8") << text.toUtf8();
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    }

    void utf8AndWindows1251FilesLoadTheSameNames()
    {
        QFETCH(QByteArray, bytes);
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow();
        load(w.get(), dialogs, bytes);
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(w->model()->goods(),
                 GoodsList() << item(QStringLiteral("Чай чёрный \"Ёлка\" №1"), "1", 329, 1));

        // Saved again, the file is Windows-1251 whatever it was.
        const QString path = m_dir.filePath(QStringLiteral("again.csv"));
        dialogs.answerFile(path);
        trigger(w.get(), "actionFileSave");
        QCOMPARE(readFile(path), Cp1251Codec::encode(QStringLiteral(
                                         "name;intcode;barcode;price;dept\n\"Чай чёрный \"\"Ёлка\"\" №1\";1;;329;1\n")));
    }

    void oldLayoutLoads()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow();
        const QString path = m_dir.filePath(QStringLiteral("old.csv"));
        QVERIFY(writeFile(path, "INTCODE;NAME;BARCODE;DEPT;PRICE\n12;\"\xD1\xEE\xEB\xFC\";;2;9,9\n"));
        dialogs.answerFile(path);
        QVERIFY(QMetaObject::invokeMethod(w.get(), "onOldFileLoad"));
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.last().title, QStringLiteral("Имя файла для загрузки"));
        QCOMPARE(w->model()->goods(), GoodsList() << item(QStringLiteral("Соль"), "12", 9.9, 2));

        QVERIFY(writeFile(path, "name;intcode;barcode;price;dept\nA;1;;1;1\n"));
        dialogs.answerFile(path);
        QVERIFY(QMetaObject::invokeMethod(w.get(), "onOldFileLoad"));
        QCOMPARE(dialogs.last().kind, DialogRequest::Critical);
        QCOMPARE(dialogs.last().title, kTitle);
        QCOMPARE(dialogs.last().text, kHeaderError);
        QCOMPARE(w->model()->rowCount(), 1);
    }

    void cancelAfter100Of1000RowsKeeps100()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow();
        w->model()->setGoods(someGoods());
        QByteArray bytes("name;intcode;barcode;price;dept\n");
        for (int i = 1; i <= 1000; ++i)
            bytes += "Row " + QByteArray::number(i) + ';' + QByteArray::number(i) + ";;1;1\n";

        int updates = 0;
        bool cancelled = false;
        QPointer<QProgressDialog> seen;
        // Runs once the dialog lets the event loop in, which it does while the rows are read.
        QTimer::singleShot(0, w.get(), [&] {
            seen = w->findChild<QProgressDialog *>(QStringLiteral("goodsFileProgress"));
            QVERIFY(seen);
            QVERIFY(seen->isVisible());
            QCOMPARE(seen->labelText(), QStringLiteral("Загрузка номенклатуры из файла"));
            QCOMPARE(seen->windowModality(), Qt::WindowModal);
            QCOMPARE(seen->minimum(), 1);
            QCOMPARE(seen->maximum(), 1001);
            auto *cancel = seen->findChild<QPushButton *>();
            QVERIFY(cancel);
            QCOMPARE(cancel->text(), QStringLiteral("Прервать"));
            auto *bar = seen->findChild<QProgressBar *>();
            QVERIFY(bar);
            QObject::connect(bar, &QProgressBar::valueChanged, seen, [&, cancel](int value) {
                ++updates;
                if (value >= 100 && !cancelled) {
                    cancelled = true;
                    QTest::mouseClick(cancel, Qt::LeftButton);
                }
            });
        });
        load(w.get(), dialogs, bytes);
        QVERIFY(seen.isNull());  // the dialog lives only as long as the load
        QVERIFY(cancelled);
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(w->model()->rowCount(), 100);
        QCOMPARE(w->model()->goods().last().intcode, QStringLiteral("100"));
        // Moved on every tenth row at most, not on each.
        QVERIFY2(updates > 0 && updates <= 10, qPrintable(QString::number(updates)));
    }

    void fullLoadMovesTheDialogAtABoundedRate()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow();
        QByteArray bytes("name;intcode;barcode;price;dept\n");
        for (int i = 1; i <= 5000; ++i)
            bytes += "R;" + QByteArray::number(i % 99999 + 1) + ";;1;1\n";
        int updates = 0;
        QTimer::singleShot(0, w.get(), [&] {
            auto *bar = w->findChild<QProgressBar *>();
            QVERIFY(bar);
            QObject::connect(bar, &QProgressBar::valueChanged, bar, [&] { ++updates; });
        });
        load(w.get(), dialogs, bytes);
        QCOMPARE(w->model()->rowCount(), 5000);
        QVERIFY2(updates > 0 && updates <= 101, qPrintable(QString::number(updates)));
    }
};

QTEST_MAIN(TestGoodsFile)
#include "tst_goodsfile.moc"
