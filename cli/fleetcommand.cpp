#include "cli/fleetcommand.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/fleetapplyjob.h"
#include "cli/fleetbackupjob.h"
#include "cli/fleetgoodsjob.h"
#include "cli/fleetrunner.h"
#include "cli/fleetstatusjob.h"
#include "cli/goodscommand.h"
#include "cli/paramssource.h"
#include "goods/goodscodec.h"
#include "session/firmwarefamily.h"

int FleetCommand::run(const QStringList &arguments)
{
    return CommandLine::dispatch(QStringLiteral("fleet"), arguments,
                                 {{"status", status}, {"backup", backup}, {"goods", goods}, {"apply", apply}});
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

int FleetCommand::apply(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("fleet apply"),
                     tr("Переносит общие настройки торговой сети из шаблона в каждую ККТ списка того же семейства. "
                        "Без --apply только показывает, какие поля изменятся; с --apply снимает резервную "
                        "копию, записывает и проверяет чтением. Заводской номер, регистрационные данные и "
                        "всё, что относится к одной ККТ, не переносятся."));
    line.addArgument(QStringLiteral("TEMPLATE"), ParamsSource::syntax());
    FleetRunner::addOptions(line);
    line.addListOption(QStringLiteral("groups"), QStringLiteral("LIST"),
                       tr("Группы через запятую: %1 (по умолчанию %2).")
                           .arg(ParamsApply::groupNames(),
                                QStringLiteral("configuration,positions,departments,design,ofd")));
    line.addFlag(QStringLiteral("apply"), tr("Записать изменения в ККТ (без него ничего не записывается)."));
    FleetRunner runner;
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    QList<ParamsApply::Group> groups = ParamsApply::defaultGroups();
    QString error;
    if (line.isSet(QStringLiteral("groups"))
        && !ParamsApply::parseGroups(line.value(QStringLiteral("groups")), &groups, &error)) {
        Console::error(error);
        return StatusUsage;
    }
    ProfileFile source;
    status = ParamsSource::load(line.argument(0), RegisterDefaults::TcpPort, &source);
    if (status != StatusOk)
        return status;
    const FirmwareFamily *family = FirmwareFamily::forVersion(source.version);
    if (!family || !family->paramsWritable()) {
        Console::error(tr("Шаблон версии %1: переносятся только параметры версий %2")
                           .arg(source.version, FirmwareFamily::patterns().join(QStringLiteral(", "))));
        return StatusBadInput;
    }
    if (!runner.configure(line, &status))
        return status;
    FleetApplyJob job({source.serial, source.version, source.params, source.system}, groups,
                      line.isSet(QStringLiteral("apply")));
    return runner.run(job);
}
