#include "app/mainwindow.h"
#include "link/devicefinder.h"
#include "params/appsettings.h"

#include <QApplication>
#include <QHostAddress>

namespace {

// A demonstration run (scripts/run.sh) keeps the LAN search on the simulated
// register's loopback address instead of broadcasting on the workstation's
// networks. Unset, the search uses the interfaces as always.
void applyDemoSearchAddresses()
{
    const QString list = qEnvironmentVariable("KORVANE_DEMO_SEARCH");
    if (list.isEmpty())
        return;
    QList<QHostAddress> addresses;
    for (const QString &text : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QHostAddress address(text.trimmed());
        if (address.isLoopback())
            addresses.append(address);
    }
    DeviceFinder::setAddressSource([addresses] { return addresses; });
}

}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppSettings::setApplicationIdentity();
    applyDemoSearchAddresses();

    MainWindow window;
    window.show();
    return app.exec();
}
