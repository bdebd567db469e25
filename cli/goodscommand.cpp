#include "cli/goodscommand.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/consolesession.h"
#include "goods/goodscheck.h"
#include "goods/goodscodec.h"
#include "goods/goodscsv.h"
#include "goods/goodsrecord.h"
#include "params/deviceparams.h"

#include <QFile>
#include <QSaveFile>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("GoodsCommand", text);
}

void addCommonOptions(CommandLine &line)
{
    line.addAddressArgument();
    line.addSerialOption();
    line.addFileOption(QStringLiteral("csv"), tr("CSV-файл номенклатуры (name;intcode;barcode;price;dept, Windows-1251 или UTF-8)."));
    line.addPortOption();
}

int refuseProblems(int count)
{
    Console::error(tr("Номенклатура не записана: проверка нашла проблемы (%1); --force записывает её всё равно")
                       .arg(count));
    return StatusIssues;
}

}

int GoodsCommand::run(const QStringList &arguments)
{
    return CommandLine::dispatch(QStringLiteral("goods"), arguments, {{"read", read}, {"write", write}});
}

int GoodsCommand::read(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("goods read"), tr("Читает номенклатуру ККТ в CSV-файл."));
    addCommonOptions(line);
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    const QString address = line.argument(0);

    ConsoleSession session(address, line.port(), line.serial());
    QByteArray records;
    status = session.readGoods(&records);
    if (status != StatusOk)
        return status;
    const GoodsList goods = decodeGoods(records);
    const QString path = line.value(QStringLiteral("csv"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(writeGoodsCsv(goods)) < 0 || !file.commit()) {
        Console::error(tr("Не удалось записать файл %1: %2").arg(path, file.errorString()));
        return StatusBadInput;
    }
    Console::out(tr("Номенклатура ККТ %1 (%2 товаров) записана в %3").arg(session.identity().serial).arg(goods.size()).arg(path));
    return StatusOk;
}

int GoodsCommand::write(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("goods write"),
                     tr("Записывает номенклатуру из CSV-файла в ККТ. Сначала номенклатура проверяется, "
                        "как действием «Проверить» окна номенклатуры; при проблемах запись "
                        "не выполняется (код 1), если не указан --force."));
    addCommonOptions(line);
    line.addFlag(QStringLiteral("force"), tr("Записать, даже если проверка нашла проблемы."));
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    const QString address = line.argument(0);

    GoodsList goods;
    status = loadCsv(line.value(QStringLiteral("csv")), &goods);
    if (status != StatusOk)
        return status;

    const bool force = line.isSet(QStringLiteral("force"));
    status = checkBeforeWrite(goods, force);
    if (status != StatusOk)
        return status;
    ConsoleSession session(address, line.port(), line.serial());
    status = session.writeGoods(encodeGoods(goods, true), goods.size(), force);
    if (status == StatusIssues) {
        Console::out(session.explanation());
        return refuseProblems(1);
    }
    if (status == StatusOk)
        Console::out(tr("Выгрузка завершена успешно"));
    return status;
}

int GoodsCommand::loadCsv(const QString &path, GoodsList *goods)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Console::error(tr("Не удалось открыть файл %1: %2").arg(path, file.errorString()));
        return StatusBadInput;
    }
    const GoodsCsvResult result = readGoodsCsv(file.readAll(), nullptr, path);
    switch (result.status) {
    case GoodsCsvResult::Loaded:
        break;
    case GoodsCsvResult::BadHeader:
        Console::error(tr("Файл %1: %2").arg(path, tr("Ошибка при загрузке. Проверьте формат файла.")));
        return StatusBadInput;
    default: {
        QString text = tr("Ошибка при загрузке в строке %1. Проверьте формат файла.").arg(result.row);
        if (!result.place().isEmpty())
            text += QStringLiteral(" (%1)").arg(result.place());
        Console::error(tr("Файл %1: %2").arg(path, text));
        return StatusBadInput;
    }
    }
    if (result.goods.size() > GoodsRecord::MaxGoods) {
        Console::error(tr("Файл %1: %2 товаров, больше, чем помещается в ККТ").arg(path).arg(result.goods.size()));
        return StatusBadInput;
    }
    *goods = result.goods;
    return StatusOk;
}

int GoodsCommand::checkBeforeWrite(const GoodsList &goods, bool force, bool problemsToError)
{
    // The row limit is the register's own capacity, known once it has
    // identified itself: the other problems are found before connecting, the
    // limit in the same exchange as the write.
    const QVector<GoodsProblem> problems = checkGoods(goods, DeviceParams::DeptCount, GoodsRecord::MaxGoods + 1);
    for (const GoodsProblem &problem : problems)
        problemsToError ? Console::error(problem.text) : Console::out(problem.text);
    if (!problems.isEmpty() && !force)
        return refuseProblems(problems.size());
    return StatusOk;
}
