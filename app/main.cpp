#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Korvane Engineering"));
    QApplication::setOrganizationDomain(QStringLiteral("korvane.ru"));
    QApplication::setApplicationName(QStringLiteral("KorvaneUtility3"));

    MainWindow window;
    window.show();
    return app.exec();
}
