#include "editor/devicewindow.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "params/deviceprofile.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"

#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>
#include <optional>

using namespace WindowDriver;

namespace {

const QString kSerial = QStringLiteral("2530000001");
const QString kBarcode = QStringLiteral("3000001000037");

// The widest values the users' tables show, a whole barcode and the longest
// rights, in the first user; a 2.52 register keeps twelve digits and shows
// the check digit it computes.
void widen(UserRecord53 &user) { user.setBarcode(kBarcode); }
void widen(UserRecord52 &user) { user.setShownBarcode(kBarcode.left(12)); }

template<typename Set>
std::unique_ptr<DeviceWindow> openAtDefaultSize(const QString &version)
{
    Set set;
    widen(set.users()[0]);
    set.users()[0].rights = 3;
    QByteArray params;
    QByteArray system;
    set.save(params, system);
    DeviceProfile().save(kSerial, version, 0, params, system);
    auto w = std::make_unique<DeviceWindow>();
    w->setDevice(kSerial, version, QStringLiteral("Касса 1"), QString());
    return show(w.get()) ? std::move(w) : nullptr;
}

std::unique_ptr<DeviceWindow> openAtDefaultSize(const QString &version)
{
    return version.startsWith(QLatin1String("2.53")) ? openAtDefaultSize<DeviceParams53>(version)
                                                     : openAtDefaultSize<DeviceParams52>(version);
}

// The application's font at half its size while it lives.
class SmallFont
{
public:
    SmallFont()
    {
        QFont small = m_usual;
        small.setPointSizeF(m_usual.pointSizeF() / 2);
        QApplication::setFont(small);
    }
    ~SmallFont() { QApplication::setFont(m_usual); }

private:
    const QFont m_usual = QApplication::font();
};

// A spin box's own edit keeps two pixels on each side of its text.
bool fitsLargestValue(QSpinBox *spin)
{
    const QString widest = spin->prefix() + QString::number(spin->maximum()) + spin->suffix();
    auto *edit = spin->findChild<QLineEdit *>();
    return edit && edit->width() - 4 >= edit->fontMetrics().horizontalAdvance(widest);
}

}

class TestDeviceWindowFit : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowSandbox> m_sandbox;

private slots:
    void init() { m_sandbox.emplace(); }
    void cleanup() { m_sandbox.reset(); }

    void fit_data()
    {
        QTest::addColumn<QString>("version");
        QTest::newRow("2.53") << QStringLiteral("2.53.10");
        QTest::newRow("2.52") << QStringLiteral("2.52.40");
    }

    // The test screen is 800 pixels wide: a smaller font gives it the room
    // a workstation's screen has for every title at the usual one.
    void everyPageTitleInView_data() { fit_data(); }
    void everyPageTitleInView()
    {
        QFETCH(QString, version);
        const SmallFont small;
        auto w = openAtDefaultSize(version);
        QVERIFY(w);
        QTabBar *bar = child<QTabWidget>(w.get(), "tabWidget")->tabBar();
        QCOMPARE(bar->count(), 8);
        for (int i = 0; i < bar->count(); ++i)
            QVERIFY2(bar->rect().contains(bar->tabRect(i)), qPrintable(bar->tabText(i)));
        for (const QToolButton *arrow : bar->findChildren<QToolButton *>())
            QVERIFY(!arrow->isVisible());
    }

    // Where the titles need more than the screen, the window stops at the
    // screen's edge (or the least its pages need); the arrows show the rest.
    void neverPastTheScreen_data() { fit_data(); }
    void neverPastTheScreen()
    {
        QFETCH(QString, version);
        auto w = openAtDefaultSize(version);
        QVERIFY(w);
        const QSize allowed = w->screen()->availableSize().expandedTo(w->minimumSizeHint());
        QVERIFY(child<QTabWidget>(w.get(), "tabWidget")->tabBar()->sizeHint().width() > allowed.width());
        QVERIFY(w->width() <= allowed.width() && w->height() <= allowed.height());
    }

    void valuesShownWhole_data() { fit_data(); }
    void valuesShownWhole()
    {
        QFETCH(QString, version);
        auto w = openAtDefaultSize(version);
        QVERIFY(w);
        auto *tabs = child<QTabWidget>(w.get(), "tabWidget");
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            for (QSpinBox *spin : tabs->widget(i)->findChildren<QSpinBox *>())
                QVERIFY2(fitsLargestValue(spin), qPrintable(spin->objectName()));
        }

        auto *users = child<QTableView>(showPage(w.get(), "userTab"), "userView");
        QCOMPARE(users->model()->index(0, 2).data().toString(), kBarcode);
        QCOMPARE(users->model()->index(0, 1).data().toString(), QStringLiteral("Администратор"));
        const QAbstractItemView *cells = users;  // QTableView hides the measure
        for (int column = 0; column < users->model()->columnCount(); ++column) {
            QVERIFY2(users->columnWidth(column) >= cells->sizeHintForColumn(column), qPrintable(QString::number(column)));
            QVERIFY(users->columnWidth(column) >= users->horizontalHeader()->sectionSizeHint(column));
        }
    }
};

QTEST_MAIN(TestDeviceWindowFit)
#include "tst_devicewindowfit.moc"
