#include "cli/fleetcommand.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/fleetbackupjob.h"
#include "cli/fleetgoodsjob.h"
#include "cli/fleetrunner.h"
#include "cli/fleetstatusjob.h"
#include "cli/goodscommand.h"
#include "goods/goodscodec.h"

int FleetCommand::run(const QStringList &arguments)
{
    return CommandLine::dispatch(QStringLiteral("fleet"), arguments,
                                 {{"status", status}, {"backup", backup}, {"goods", goods}});
}

int FleetCommand::status(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("fleet status"),
                     tr("Опрашивает каждую ККТ списка: доступна ли, версия, совпадает ли заводской номер, "
                        "ёмкость номенклатуры."));
    FleetRunner::addOptions(line);
    FleetRunner runner;
    int status = StatusOk;
    if (!line.parse(arguments, &status) || !runner.configure(line, &status))
        return status;
    FleetStatusJob job;
    return runner.run(job);
}

int FleetCommand::backup(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("fleet backup"),
                     tr("Снимает с каждой ККТ списка резервные копии параметров и номенклатуры "
                        "(korvane-cli backup list SERIAL)."));
    FleetRunner::addOptions(line);
    FleetRunner runner;
    int status = StatusOk;
    if (!line.parse(arguments, &status) || !runner.configure(line, &status))
        return status;
    FleetBackupJob job;
    return runner.run(job);
}

int FleetCommand::goods(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("fleet goods"),
                     tr("Записывает номенклатуру из CSV-файла в каждую ККТ списка, с резервной копией "
                        "и проверкой чтением. Файл проверяется один раз до обмена; при проблемах ничего "
                        "не записывается (код 1), если не указан --force. Ёмкость каждой ККТ проверяется "
                        "в её собственном обмене."));
    line.addArgument(QStringLiteral("CSV"), tr("CSV-файл номенклатуры (name;intcode;barcode;price;dept, Windows-1251)."));
    FleetRunner::addOptions(line);
    line.addFlag(QStringLiteral("force"), tr("Записать, даже если проверка нашла проблемы или товаров больше "
                                             "ёмкости ККТ."));
    FleetRunner runner;
    int status = StatusOk;
    if (!line.parse(arguments, &status) || !runner.configure(line, &status))
        return status;
    GoodsList goods;
    status = GoodsCommand::loadCsv(line.argument(0), &goods);
    if (status != StatusOk)
        return status;
    const bool force = line.isSet(QStringLiteral("force"));
    status = GoodsCommand::checkBeforeWrite(goods, force, runner.format() != FleetRunner::Format::Text);
    if (status != StatusOk)
        return status;
    FleetGoodsJob job(encodeGoods(goods, true), goods.size(), force);
    return runner.run(job);
}
