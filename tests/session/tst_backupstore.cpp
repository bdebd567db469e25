#include "session/backupstore.h"
#include "session/profilefile.h"
#include "tests/support/core/testsettings.h"

#include <QDir>
#include <QtTest>

namespace {

ProfileFile backup(const QString &serial, const QString &kind, const QDateTime &time)
{
    ProfileFile file;
    file.serial = serial;
    file.version = QStringLiteral("2.53.10");
    file.goodsCapacity = 2000;
    file.params = QByteArray(21 * 256, char(time.time().second()));
    file.backupKind = kind;
    file.backupTime = time;
    return file;
}

}

// Where backups go, what stays of them, and which serial numbers may name
// their folder.
class TestBackupStore : public QObject
{
    Q_OBJECT

private slots:
    void newestThirtyOfEachKindStay()
    {
        TestSettings settings;
        const QDateTime start(QDate(2026, 12, 8), QTime(14, 0));
        QString error;
        for (int i = 0; i < 33; ++i)
            QVERIFY(!BackupStore::store(backup("2530000001", ProfileFile::paramsKind(), start.addSecs(i)), &error).isEmpty());
        QVERIFY(!BackupStore::store(backup("2530000001", ProfileFile::goodsKind(), start), &error).isEmpty());
        const QVector<BackupEntry> entries = BackupStore::list(QStringLiteral("2530000001"));
        QCOMPARE(entries.size(), BackupStore::Kept + 1);
        QCOMPARE(entries.first().time, start.addSecs(32));
        QCOMPARE(entries.at(BackupStore::Kept - 1).time, start.addSecs(3));
        QCOMPARE(entries.last().kind, ProfileFile::goodsKind());
        QVERIFY(entries.first().file.startsWith(settings.dataPath() + QStringLiteral("/backups/2530000001/")));
    }

    // Two backups within one second keep apart, and the later lists first.
    void sameSecondKeepsBoth()
    {
        TestSettings settings;
        const QDateTime time(QDate(2026, 12, 8), QTime(14, 0, 0, 100));
        QString error;
        const QString first = BackupStore::store(backup("2530000001", ProfileFile::paramsKind(), time), &error);
        const QString second =
                BackupStore::store(backup("2530000001", ProfileFile::paramsKind(), time.addMSecs(300)), &error);
        QVERIFY(!first.isEmpty() && !second.isEmpty() && first != second);
        QCOMPARE(BackupStore::list(QStringLiteral("2530000001")).first().file, second);
    }

    void serialsThatCannotNameAFolder_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::newRow("parent") << "..";
        QTest::newRow("path") << "25/../../x";
        QTest::newRow("backslash") << "25\\x";
        QTest::newRow("empty") << "";
    }

    void serialsThatCannotNameAFolder()
    {
        QFETCH(QString, serial);
        TestSettings settings;
        QString error;
        QVERIFY(BackupStore::store(backup(serial, ProfileFile::paramsKind(), QDateTime::currentDateTime()), &error)
                        .isEmpty());
        QVERIFY(error.contains(QStringLiteral("не годится для имени папки")));
        QVERIFY(!QDir(settings.dataPath()).exists(QStringLiteral("backups")));
    }
};

QTEST_GUILESS_MAIN(TestBackupStore)
#include "tst_backupstore.moc"
