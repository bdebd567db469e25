#include "cli/backupcommand.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/consolesession.h"
#include "cli/paramsjson.h"
#include "goods/goodscodec.h"
#include "params/deviceparams.h"
#include "session/backupstore.h"
#include "session/firmwareversion.h"
#include "session/profilefile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

QJsonObject entryJson(const BackupEntry &entry)
{
    QJsonObject object{{QStringLiteral("file"), QDir::toNativeSeparators(entry.file)},
                       {QStringLiteral("kind"), entry.kind},
                       {QStringLiteral("time"), entry.time.toOffsetFromUtc(entry.time.offsetFromUtc()).toString(Qt::ISODate)},
                       {QStringLiteral("size"), entry.size}};
    if (entry.kind == ProfileFile::paramsKind())
        object.insert(QStringLiteral("organisation"), entry.organisation);
    else
        object.insert(QStringLiteral("goods"), entry.goods);
    return object;
}

QString entryLine(const BackupEntry &entry)
{
    const QString what = entry.kind == ProfileFile::paramsKind()
                                 ? BackupCommand::tr("параметры, %1 байт, «%2»").arg(entry.size).arg(entry.organisation)
                                 : BackupCommand::tr("номенклатура, товаров: %1").arg(entry.goods);
    return QStringLiteral("%1  %2  %3").arg(entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), what,
                                            QDir::toNativeSeparators(entry.file));
}

QJsonArray goodsJson(const QByteArray &records)
{
    QJsonArray rows;
    for (const GoodsItem &item : decodeGoods(records)) {
        rows.append(QJsonObject{{QStringLiteral("name"), item.name},
                                {QStringLiteral("intcode"), item.intcode},
                                {QStringLiteral("barcode"), item.barcode},
                                {QStringLiteral("price"), QString::number(item.price, 'f', 2)},
                                {QStringLiteral("dept"), item.dept}});
    }
    return rows;
}

}

int BackupCommand::run(const QStringList &arguments)
{
    return CommandLine::dispatch(QStringLiteral("backup"), arguments,
                                 {{"list", list}, {"show", show}, {"restore", restore}});
}

int BackupCommand::list(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("backup list"),
                     tr("Резервные копии ККТ, снятые перед записью, от новых к старым."));
    line.addArgument(QStringLiteral("SERIAL"), tr("Заводской номер ККТ."));
    line.addJsonOption();
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    const QVector<BackupEntry> entries = BackupStore::list(line.argument(0));
    if (line.json()) {
        QJsonArray array;
        for (const BackupEntry &entry : entries)
            array.append(entryJson(entry));
        Console::out(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)).trimmed());
    } else {
        for (const BackupEntry &entry : entries)
            Console::out(entryLine(entry));
    }
    return StatusOk;
}

int BackupCommand::show(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("backup show"),
                     tr("Содержимое резервной копии в формате JSON: таблицы параметров или номенклатура."));
    line.addArgument(QStringLiteral("FILE"), tr("Файл резервной копии."));
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    ProfileFile file;
    BackupEntry entry;
    QString error;
    if (!BackupStore::describe(line.argument(0), &entry, &error, &file)) {
        Console::error(error);
        return StatusBadInput;
    }
    QJsonObject object = entryJson(entry);
    object.insert(QStringLiteral("serial"), file.serial);
    object.insert(QStringLiteral("version"), file.version);
    if (entry.kind == ProfileFile::paramsKind()) {
        const std::unique_ptr<DeviceParams> params = FirmwareVersion::createParams(file.version);
        params->load(file.serial, file.params, file.system);
        object.insert(QStringLiteral("tables"), ParamsJson::tables(*params));
    } else {
        object.insert(QStringLiteral("goodsList"), goodsJson(file.goods));
    }
    Console::out(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed());
    return StatusOk;
}

int BackupCommand::restore(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("backup restore"),
                     tr("Записывает резервную копию обратно в ККТ: сначала снимается копия текущего "
                        "состояния, после записи данные проверяются чтением."));
    line.addAddressArgument();
    line.addSerialOption();
    line.addFileOption(QStringLiteral("from"), tr("Файл резервной копии (из backup list)."));
    line.addPortOption();
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    const QString path = line.value(QStringLiteral("from"));
    ProfileFile file;
    BackupEntry entry;
    QString error;
    if (!BackupStore::describe(path, &entry, &error, &file)) {
        Console::error(error);
        return StatusBadInput;
    }
    if (file.serial != line.serial()) {
        Console::error(tr("Файл %1 содержит резервную копию ККТ %2, а не %3").arg(path, file.serial, line.serial()));
        return StatusBadInput;
    }
    ConsoleSession session(line.argument(0), line.port(), line.serial());
    status = session.restore(file);
    if (status == StatusOk)
        Console::out(tr("Резервная копия %1 записана в ККТ").arg(QDir::toNativeSeparators(path)));
    return status;
}
