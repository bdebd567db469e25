#include "editor/devicewindow.h"
#include "goodswindow/goodswindow.h"
#include "params/deviceprofile.h"
#include "params/deviceregistry.h"
#include "tests/editor/samplearea.h"
#include "tests/support/core/simulators.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTime>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using namespace WindowDriver;

namespace {

const QString kSerial = QStringLiteral("2530000001");
const QString kUnsaved = QStringLiteral("Изменения не сохранены. Продолжить без сохранения?");

// The window's clock read before an action: a time it then shows in `text`
// (as `pattern` with %1 in `format`) lies between then and now.
class Clock
{
public:
    bool stamped(const QString &text, const QString &pattern, const QString &format) const
    {
        const int at = pattern.indexOf(QLatin1String("%1"));
        const QString shown = text.mid(at, text.size() - pattern.size() + 2);
        const QTime time = QTime::fromString(shown, format);
        return text == pattern.arg(shown) && time.isValid()
                && time >= QTime::fromString(m_before.toString(format), format) && time <= QTime::currentTime();
    }

private:
    const QTime m_before = QTime::currentTime();
};

QString source(DeviceWindow *w)
{
    return statusLabels(w).value(2);
}

QLineEdit *edit(DeviceWindow *w, const char *name)
{
    return child<QLineEdit>(w, QLatin1String(name));
}

bool editCell(DeviceWindow *w, const char *page, const char *view, int row, int column,
              const std::function<bool(QAbstractItemView *, const QModelIndex &)> &how)
{
    auto *v = child<QAbstractItemView>(showPage(w, QLatin1String(page)), QLatin1String(view));
    return v && how(v, v->model()->index(row, column));
}

// One user edit of each kind of control the pages have.
const QVector<QPair<const char *, std::function<bool(DeviceWindow *)>>> &edits()
{
    static const QVector<QPair<const char *, std::function<bool(DeviceWindow *)>>> all = {
        {"line edit", [](DeviceWindow *w) { retype(edit(w, "maxPriceEdit"), QStringLiteral("4.35")); return true; }},
        {"spin box", [](DeviceWindow *w) { return pressKey(w, Qt::Key_Up, child<QSpinBox>(w, "deptCountSpin")); }},
        {"combo box",
         [](DeviceWindow *w) {
             auto *combo = child<QComboBox>(w, "displayModeCombo");
             return pressKey(w, combo->currentIndex() == 0 ? Qt::Key_End : Qt::Key_Home, combo);
         }},
        {"check box", [](DeviceWindow *w) { return pressKey(w, Qt::Key_Space, child<QWidget>(w, "smallFontCheck")); }},
        {"text cell",
         [](DeviceWindow *w) {
             return editCell(w, "userTab", "userView", 0, 2, [](QAbstractItemView *v, const QModelIndex &i) {
                 return typeInto(v, i, QStringLiteral("4600000000008"));
             });
         }},
        {"check cell",
         [](DeviceWindow *w) {
             return editCell(w, "userTab", "userView", 0, 7, [](QAbstractItemView *v, const QModelIndex &i) {
                 clickCell(v, i);
                 return true;
             });
         }},
        {"combo cell",
         [](DeviceWindow *w) {
             return editCell(w, "deptTab", "deptView", 0, 1,
                             [](QAbstractItemView *v, const QModelIndex &i) { return choose(v, i, 2); });
         }},
    };
    return all;
}

}

class TestDeviceWindowStatus : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowSandbox> m_sandbox;
    ScriptedDialogs *m_dialogs = nullptr;
    std::unique_ptr<RegisterSimulator> m_sim;

    // A 2.53 register worth reading on `address`, listed in the registry.
    std::unique_ptr<DeviceWindow> openWindow(const QString &address = QString())
    {
        if (!address.isEmpty()) {
            m_sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), address, Simulators::WindowPort);
            if (!m_sim || !m_sim->setAreaContent(2, SampleArea::registerParamsArea(kSerial)))
                return nullptr;
        }
        DeviceRegistry registry;
        registry.registerDevice(kSerial, QStringLiteral("2.53.*"), QStringLiteral("Касса 1"), address);
        registry.save();
        auto window = std::make_unique<DeviceWindow>();
        window->setDevice(kSerial, QStringLiteral("2.53.*"), QStringLiteral("Касса 1"), address);
        return show(window.get()) ? std::move(window) : nullptr;
    }

private slots:
    void init() { m_dialogs = &m_sandbox.emplace().dialogs; }

    void cleanup()
    {
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
        m_sim.reset();
        m_sandbox.reset();
    }

    void sourceAndMessagesThroughSaveReadAndEdits()
    {
        auto w = openWindow(QStringLiteral("127.0.21.170"));
        QVERIFY(w);
        QCOMPARE(statusLabels(w.get()),
                 QStringList({QString(), QStringLiteral("127.0.21.170"), QStringLiteral("по умолчанию")}));
        retype(edit(w.get(), "maxPriceEdit"), QStringLiteral("4.35"));
        QCOMPARE(source(w.get()), QStringLiteral("по умолчанию, изменено"));

        const Clock saving;
        QVERIFY(pressKey(w.get(), QKeySequence(Qt::CTRL | Qt::Key_S)));
        QVERIFY(saving.stamped(statusMessage(w.get()), QStringLiteral("Профиль сохранён в %1"), QStringLiteral("hh:mm:ss")));
        QCOMPARE(source(w.get()), QStringLiteral("профиль"));
        QVERIFY(pressKey(w.get(), Qt::Key_Space, child<QWidget>(w.get(), "keySoundCheck")));
        QCOMPARE(source(w.get()), QStringLiteral("профиль, изменено"));
        QVERIFY(pressKey(w.get(), Qt::Key_F7));
        QVERIFY(statusMessage(w.get()).startsWith(QStringLiteral("Проверка: ")));
        auto *dock = w->findChild<DeviceIssueWidget *>();
        QVERIFY(dock->isVisible());

        // A read over edits asks first; it leaves the window clean.
        const Clock reading;
        m_dialogs->answerYes();
        QVERIFY(pressKey(w.get(), Qt::Key_F5));
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Загрузка из ККТ"));
        QCOMPARE(m_dialogs->last().text, kUnsaved);
        QVERIFY(reading.stamped(source(w.get()), QStringLiteral("из ККТ %1"), QStringLiteral("hh:mm")));
        QVERIFY(reading.stamped(statusMessage(w.get()), QStringLiteral("Прочитано из ККТ в %1"), QStringLiteral("hh:mm:ss")));
        QCOMPARE(edit(w.get(), "maxPriceEdit")->text(), QStringLiteral("123.45"));
        // The last check's list was about the values replaced.
        QVERIFY(!dock->isVisible());

        // The pages the read rebuilt are watched as the first ones were; a
        // check changes nothing.
        retype(edit(w.get(), "maxDepositEdit"), QStringLiteral("1.00"));
        QVERIFY(reading.stamped(source(w.get()), QStringLiteral("из ККТ %1, изменено"), QStringLiteral("hh:mm")));
        QVERIFY(pressKey(w.get(), Qt::Key_F7));
        QVERIFY(dock->isVisible());
        QVERIFY(w->isEdited());

        QVERIFY(pressKey(w.get(), QKeySequence(Qt::CTRL | Qt::Key_G)));
        QPointer<GoodsWindow> goods = w->findChild<GoodsWindow *>();
        QVERIFY(goods && goods->isVisible());
        goods->close();
        QTRY_VERIFY(goods.isNull());
        // Writing to the register stays a deliberate menu choice.
        QVERIFY(child<QAction>(w.get(), "actionExport")->shortcut().isEmpty());
        m_dialogs->answerYes();
        QVERIFY(w->close());

        auto again = openWindow();
        QCOMPARE(source(again.get()), QStringLiteral("профиль"));
    }

    void everyKindOfControlMarksAnEdit()
    {
        for (const auto &e : edits()) {
            auto w = openWindow();
            QVERIFY2(w && !w->isEdited(), e.first);
            QVERIFY2(e.second(w.get()) && w->isEdited(), e.first);
            QVERIFY2(source(w.get()) == QStringLiteral("по умолчанию, изменено"), e.first);
        }
    }

    void noClosesAndReadsNothing()
    {
        auto clean = openWindow();
        QVERIFY(clean->close());
        QVERIFY(m_dialogs->shown().isEmpty());

        auto w = openWindow(QStringLiteral("127.0.21.171"));
        retype(edit(w.get(), "maxPriceEdit"), QStringLiteral("7.00"));
        m_dialogs->answerNo();
        m_dialogs->answerNo();
        QVERIFY(!w->close());
        trigger(w.get(), "actionImport");
        QCOMPARE(m_dialogs->shown().size(), 2);
        QCOMPARE(m_dialogs->shown().at(0).title, w->windowTitle());
        QCOMPARE(m_dialogs->shown().at(0).text, kUnsaved);
        QVERIFY(w->isVisible());
        QCOMPARE(m_sim->connectionCount(), 0);
        QCOMPARE(edit(w.get(), "maxPriceEdit")->text(), QStringLiteral("7.00"));
    }

    void writeLeavesItClean()
    {
        auto w = openWindow(QStringLiteral("127.0.21.172"));
        trigger(w.get(), "actionImport");
        retype(edit(w.get(), "maxPriceEdit"), QStringLiteral("4.35"));
        QList<int> progressAtBox;
        m_dialogs->setOnShown([&](const DialogRequest &) { progressAtBox << visibleProgressDialogs(); });
        const Clock writing;
        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Выгрузка завершена успешно"));
        QVERIFY(writing.stamped(source(w.get()), QStringLiteral("записано в ККТ %1"), QStringLiteral("hh:mm")));
        QVERIFY(writing.stamped(statusMessage(w.get()), QStringLiteral("Записано в ККТ в %1"), QStringLiteral("hh:mm:ss")));

        // A refused write keeps the edits unsaved.
        retype(edit(w.get(), "maxPriceEdit"), QStringLiteral("5.35"));
        m_sim->setNakWrites(true);
        m_dialogs->answerNo();
        trigger(w.get(), "actionExport");
        QCOMPARE(m_dialogs->shown().value(m_dialogs->shown().size() - 2).text, QStringLiteral("Ошибка выгрузки. -9"));
        QVERIFY(source(w.get()).endsWith(QStringLiteral(", изменено")));
        QCOMPARE(progressAtBox, QList<int>({0, 0, 0}));

        // An edit made while a cancelled write goes on is not in it.
        m_sim->setNakWrites(false);
        m_sim->setReplyDelay(100);
        cancelProgressAt(QStringLiteral("Выгрузка в ККТ..."));
        trigger(w.get(), "actionExport");
        retype(edit(w.get(), "maxDepositEdit"), QStringLiteral("2.00"));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->last().text, QStringLiteral("Выгрузка завершена успешно"), 20000);
        QVERIFY(w->isEdited());
        m_dialogs->setOnShown(nullptr);
    }

    void checkCountsProblems_data()
    {
        QTest::addColumn<QString>("version");
        QTest::newRow("2.53 defaults") << QStringLiteral("2.53.*");
        QTest::newRow("2.52, no checks") << QStringLiteral("2.52.40");
    }

    void checkCountsProblems()
    {
        QFETCH(QString, version);
        auto w = std::make_unique<DeviceWindow>();
        w->setDevice(kSerial, version, QStringLiteral("Касса 1"), QString());
        QVERIFY(pressKey(w.get(), Qt::Key_F7));
        const int problems = w->findChild<DeviceIssueWidget *>()->model()->rowCount();
        QCOMPARE(problems > 0, version.startsWith(QLatin1String("2.53")));
        QCOMPARE(statusMessage(w.get()), problems == 0 ? QStringLiteral("Проверка: проблем не найдено")
                                                       : QStringLiteral("Проверка: проблем — %1").arg(problems));
    }
};

QTEST_MAIN(TestDeviceWindowStatus)
#include "tst_devicewindowstatus.moc"
