#include "editor/devicewindow.h"
#include "params/deviceparams53.h"
#include "params/deviceregistry.h"
#include "session/backupstore.h"
#include "session/profilefile.h"
#include "tests/editor/samplearea.h"
#include "tests/support/core/simulators.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"
#include "widgets/deviceissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

#include <memory>
#include <optional>

using namespace WindowDriver;

namespace {

const QString kSerial = QStringLiteral("2530000001");
const QString kRestoreQuestion = QStringLiteral("Восстановить данные ККТ из резервной копии?");

QByteArray backupParams(const QString &file)
{
    ProfileFile backup;
    QString error;
    return backup.read(file, &error) ? backup.params : QByteArray();
}

}

// The device window's writes leave a backup of what they overwrote, a write
// cut off part way offers it back, and the "ККТ" menu restores any of them.
class TestDeviceWindowBackup : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowSandbox> m_sandbox;
    std::unique_ptr<RegisterSimulator> m_sim;

    ScriptedDialogs &dialogs() { return m_sandbox->dialogs; }

    std::unique_ptr<DeviceWindow> openWindowOn(const char *address)
    {
        m_sim = Simulators::start(SimConfig::family253(kSerial.toLatin1()), QLatin1String(address),
                                  Simulators::WindowPort);
        if (!m_sim)
            return nullptr;
        m_sim->setAreaContent(2, SampleArea::registerParamsArea(kSerial));
        DeviceRegistry registry;
        registry.registerDevice(kSerial, QStringLiteral("2.53.10"), QString(), QLatin1String(address));
        registry.save();
        auto w = std::make_unique<DeviceWindow>();
        w->setDevice(kSerial, QStringLiteral("2.53.10"), QStringLiteral("Касса"), QLatin1String(address));
        trigger(w.get(), "actionImport");
        return w;
    }

    void changeOrganisation(DeviceWindow *w, const QString &name)
    {
        retype(child<QLineEdit>(w, "orgNameEdit"), name);
    }

private slots:
    void init() { m_sandbox.emplace(); }

    void cleanup()
    {
        QCOMPARE(dialogs().pendingAnswers(), 0);
        m_sim.reset();
        m_sandbox.reset();
    }

    void writeKeepsWhatItOverwrote()
    {
        auto w = openWindowOn("127.0.18.30");
        QVERIFY(w);
        const QByteArray before = m_sim->areaContent(2);
        changeOrganisation(w.get(), QStringLiteral("ООО «Новая»"));
        trigger(w.get(), "actionExport");
        QCOMPARE(dialogs().last().text, QStringLiteral("Выгрузка завершена успешно"));
        const QVector<BackupEntry> backups = BackupStore::list(kSerial);
        QCOMPARE(backups.size(), 1);
        QCOMPARE(backups.at(0).kind, ProfileFile::paramsKind());
        QCOMPARE(backupParams(backups.at(0).file), before);
        QVERIFY(m_sim->areaContent(2) != before);
    }

    // The connection goes after the first write request; the question
    // restores the register at once.
    void cutOffWriteOffersTheBackup()
    {
        auto w = openWindowOn("127.0.18.31");
        QVERIFY(w);
        const QByteArray before = m_sim->areaContent(2);
        // Identify, header, serial page, the backup's seven reads, one write.
        m_sim->setDropAfter(11);
        changeOrganisation(w.get(), QStringLiteral("ООО «Оборванная»"));
        bool halfWritten = false;
        dialogs().setOnShown([&](const DialogRequest &request) {
            if (request.text != kRestoreQuestion)
                return;
            halfWritten = m_sim->areaContent(2) != before;
            m_sim->clearFaults();
        });
        dialogs().answerYes();
        trigger(w.get(), "actionExport");

        const QList<DialogRequest> shown = dialogs().shown();
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown.at(0).text, QStringLiteral("Ошибка выгрузки. -14"));
        const QString file = BackupStore::list(kSerial).value(1).file;
        QVERIFY2(shown.at(0).informative.endsWith(
                         QStringLiteral("Данные в ККТ могли быть записаны частично. Резервная копия: %1")
                                 .arg(QDir::toNativeSeparators(file))),
                 qPrintable(shown.at(0).informative));
        QCOMPARE(shown.at(1).kind, DialogRequest::Question);
        QCOMPARE(shown.at(1).text, kRestoreQuestion);
        QCOMPARE(shown.at(2).text, QStringLiteral("Резервная копия записана в ККТ"));
        QVERIFY(halfWritten);
        QCOMPARE(m_sim->areaContent(2), before);
        QCOMPARE(child<QLineEdit>(w.get(), "orgNameEdit")->text(), QStringLiteral("ООО Ромашка"));
    }

    void restoreFromTheMenu()
    {
        auto w = openWindowOn("127.0.18.32");
        QVERIFY(w);
        const QByteArray first = m_sim->areaContent(2);
        changeOrganisation(w.get(), QStringLiteral("ООО «Вторая»"));
        trigger(w.get(), "actionExport");
        changeOrganisation(w.get(), QStringLiteral("ООО «Третья»"));
        trigger(w.get(), "actionExport");
        dialogs().clear();

        // Newest first: the oldest backup holds the register as it was.
        const QVector<BackupEntry> before = BackupStore::list(kSerial);
        QCOMPARE(before.size(), 2);
        dialogs().answerItem(QStringLiteral("%1 — %2 байт — «ООО Ромашка»")
                                     .arg(before.at(1).time.toLocalTime().toString("dd.MM.yyyy HH:mm:ss"))
                                     .arg(before.at(1).size));
        dialogs().answerYes();
        trigger(w.get(), "actionRestore");
        const QList<DialogRequest> shown = dialogs().shown();
        QCOMPARE(shown.at(0).kind, DialogRequest::Item);
        QCOMPARE(shown.at(0).items.size(), 2);
        QCOMPARE(shown.last().text, QStringLiteral("Резервная копия записана в ККТ"));
        QCOMPARE(m_sim->areaContent(2), first);
        QCOMPARE(child<QLineEdit>(w.get(), "orgNameEdit")->text(), QStringLiteral("ООО Ромашка"));
        // The state before the restore is a backup too.
        QCOMPARE(BackupStore::list(kSerial).size(), 3);
    }

    // The window against the register, edits not yet saved included; the
    // window keeps its values, and a double click leads to the field.
    void compareWithTheRegister()
    {
        auto w = openWindowOn("127.0.18.33");
        QVERIFY(w);
        DeviceParams53 changed;
        changed.load(kSerial, m_sim->areaContent(2), QByteArray());
        changed.departments()[2].setName(QStringLiteral("Молочная"));
        QByteArray area = m_sim->areaContent(2);
        QByteArray system;
        changed.save(area, system);
        QVERIFY(m_sim->setAreaContent(2, area));
        changeOrganisation(w.get(), QStringLiteral("ООО Новая"));
        dialogs().clear();

        trigger(w.get(), "actionCompare");
        QVERIFY(dialogs().shown().isEmpty());
        auto *dock = child<DeviceIssueWidget>(w.get(), "compareDock");
        QStringList lines;
        for (int row = 0; row < dock->model()->rowCount(); ++row)
            lines << dock->model()->index(row).data().toString();
        // The sample's default department is the third.
        QCOMPARE(lines, QStringList({QStringLiteral("Конфигурация: Отдел по умолчанию: «Секция 3» → «Молочная»"),
                                     QStringLiteral("Отделы, 3: Наименование: «Секция 3» → «Молочная»"),
                                     QStringLiteral("Реквизиты организации: Наименование организации: "
                                                    "«ООО Новая» → «ООО Ромашка»")}));
        QCOMPARE(child<QLineEdit>(w.get(), "orgNameEdit")->text(), QStringLiteral("ООО Новая"));
        QVERIFY(w->isEdited());

        QVERIFY(show(w.get()));
        auto *view = dock->findChild<QAbstractItemView *>(QStringLiteral("issueView"));
        doubleClickCell(view, dock->model()->index(2));
        QCOMPARE(child<QTabWidget>(w.get(), "tabWidget")->currentWidget()->objectName(), QStringLiteral("orgTab"));
        QTRY_COMPARE(QApplication::focusWidget(), child<QLineEdit>(w.get(), "orgNameEdit"));
    }
};

QTEST_MAIN(TestDeviceWindowBackup)
#include "tst_devicewindowbackup.moc"
