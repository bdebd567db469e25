#include "cli/cliapplication.h"
#include "cli/console.h"
#include "params/appsettings.h"

#include <QCoreApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The windows' identity, so that profiles land in the same store.
    AppSettings::setApplicationIdentity();
    Console::prepare();
    // The link's debug lines are for developers; QT_LOGGING_RULES still turns them on.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    return CliApplication::run(QCoreApplication::arguments().mid(1));
}
