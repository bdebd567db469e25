#include "widgets/deviceprogressdialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

const Qt::WindowFlags OwnerFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;

// Counts the paint events a window receives and the area they cover.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *window) { window->installEventFilter(this); }

    int count = 0;
    QRegion painted;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++count;
            painted += static_cast<QPaintEvent *>(event)->region();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class TestProgressDialog : public QObject
{
    Q_OBJECT

private slots:
    void busyBarAndCancelButton()
    {
        QWidget owner;
        DeviceProgressDialog dialog(&owner, OwnerFlags);
        QCOMPARE(dialog.parentWidget(), &owner);
        QCOMPARE(dialog.labelText(), QString());
        QVERIFY(dialog.progressText().isEmpty());
        const auto bars = dialog.findChildren<QProgressBar *>();
        QCOMPARE(bars.size(), 1);
        QCOMPARE(bars.first()->minimum(), 0);
        QCOMPARE(bars.first()->maximum(), 0);
        QVERIFY(!bars.first()->isTextVisible());
        QVERIFY(dialog.findChild<QPushButton *>());
    }

    void noCloseButtonInTitleBar()
    {
        DeviceProgressDialog dialog(nullptr, OwnerFlags);
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(!(flags & Qt::WindowCloseButtonHint));
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    }

    void emptyProgressTextKeepsLabel()
    {
        DeviceProgressDialog dialog(nullptr, OwnerFlags);
        dialog.setLabelText(QStringLiteral("Подключение к ККТ..."));
        dialog.reset();
        dialog.connected();
        QCOMPARE(dialog.labelText(), QStringLiteral("Подключение к ККТ..."));
    }

    void progressTextReplacesLabelUntilClosed()
    {
        DeviceProgressDialog dialog(nullptr, OwnerFlags);
        dialog.setLabelText(QStringLiteral("Подключение к ККТ..."));
        dialog.setProgressText(QStringLiteral("Загрузка из ККТ..."));
        dialog.reset();
        dialog.show();
        QCOMPARE(dialog.labelText(), QStringLiteral("Подключение к ККТ..."));
        dialog.connected();
        QCOMPARE(dialog.labelText(), QStringLiteral("Загрузка из ККТ..."));
        QCoreApplication::processEvents();
        QCOMPARE(dialog.labelText(), QStringLiteral("Загрузка из ККТ..."));
        QVERIFY(dialog.isVisible());
        dialog.close();
        QVERIFY(!dialog.isVisible());
    }

    void closesThroughOwnerConnection()
    {
        // A finished() connected to close() ends exec().
        DeviceProgressDialog dialog(nullptr, OwnerFlags);
        QTimer::singleShot(0, &dialog, &QWidget::close);
        dialog.reset();
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }

    void reportedCountsDoNotCloseIt()
    {
        DeviceProgressDialog dialog(nullptr, OwnerFlags);
        dialog.setLabelText(QStringLiteral("Поиск ККТ..."));
        dialog.reset();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setValue(0);
        dialog.setValue(1);
        dialog.setValue(0);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.labelText(), QStringLiteral("Поиск ККТ..."));
    }

    void dismissRepaintsWhatItCoveredAtOnce()
    {
        QWidget owner;
        QWidget elsewhere;
        owner.setGeometry(100, 100, 600, 400);
        elsewhere.setGeometry(900, 100, 200, 200);
        owner.show();
        elsewhere.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));
        DeviceProgressDialog dialog(&owner, OwnerFlags);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.move(owner.geometry().topLeft() + QPoint(50, 50));
        QCoreApplication::processEvents();
        const QRect covered(owner.mapFromGlobal(dialog.frameGeometry().topLeft()),
                            dialog.frameGeometry().size());

        PaintCounter ownerPaints(&owner);
        PaintCounter otherPaints(&elsewhere);
        dialog.dismiss();
        // No event loop has run: the owner is repainted where the dialog was
        // before whatever its caller shows next; a window it did not cover is not.
        QVERIFY(!dialog.isVisible());
        QVERIFY(ownerPaints.count > 0);
        QVERIFY(ownerPaints.painted.contains(covered.intersected(owner.rect())));
        QCOMPARE(otherPaints.count, 0);
    }

    void dismissBeforeShowingDoesNothingElse()
    {
        QWidget owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        DeviceProgressDialog dialog(&owner, OwnerFlags);
        PaintCounter ownerPaints(&owner);
        dialog.dismiss();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(ownerPaints.count, 0);
    }

    void cancelButtonSignalsCanceled()
    {
        DeviceProgressDialog dialog(nullptr, OwnerFlags);
        QSignalSpy canceled(&dialog, &QProgressDialog::canceled);
        dialog.show();
        auto *button = dialog.findChild<QPushButton *>();
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(canceled.count(), 1);
    }
};

QTEST_MAIN(TestProgressDialog)
#include "tst_progressdialog.moc"
