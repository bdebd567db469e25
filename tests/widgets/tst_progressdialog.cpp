#include "widgets/deviceprogressdialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

const Qt::WindowFlags OwnerFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;

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
