#include "deviceregistry.h"
#include "testsettings.h"
#include <QtTest>
class TestRegistry : public QObject { Q_OBJECT
private slots:
    void empty() { TestSettings s; DeviceRegistry r; QVERIFY(r.devices().isEmpty()); }
};
QTEST_MAIN(TestRegistry)
#include "tst_registry.moc"
