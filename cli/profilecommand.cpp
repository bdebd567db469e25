#include "cli/profilecommand.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "params/deviceprofile.h"
#include "session/profilefile.h"

namespace {

ProfileFile storedProfile(const QString &serial)
{
    ProfileFile file;
    file.serial = serial;
    DeviceProfile profile;
    profile.load(serial, file.version, file.goodsCapacity, file.params, file.system);
    profile.loadGoods(serial, file.goods);
    file.hasGoods = true;
    return file;
}

bool isEmpty(const ProfileFile &file)
{
    return file.version.isEmpty() && file.params.isEmpty() && file.system.isEmpty() && file.goods.isEmpty();
}

}

int ProfileCommand::run(const QStringList &arguments)
{
    return CommandLine::dispatch(QStringLiteral("profile"), arguments,
                                 {{"export", exportProfile}, {"import", importProfile}});
}

int ProfileCommand::exportProfile(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("profile export"),
                     tr("Записывает профиль ККТ (версия, ёмкость номенклатуры, параметры, системный "
                        "блок, номенклатура) из хранилища настроек в файл."));
    line.addArgument(QStringLiteral("SERIAL"), tr("Заводской номер ККТ."));
    line.addArgument(QStringLiteral("FILE"), tr("Файл профиля."));
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    const QString serial = line.argument(0);
    const ProfileFile file = storedProfile(serial);
    if (serial.isEmpty() || isEmpty(file)) {
        Console::error(tr("Профиль ККТ %1 не найден").arg(serial));
        return StatusBadInput;
    }
    QString error;
    if (!file.write(line.argument(1), &error)) {
        Console::error(error);
        return StatusBadInput;
    }
    Console::out(tr("Профиль ККТ %1 записан в %2").arg(serial, line.argument(1)));
    return StatusOk;
}

int ProfileCommand::importProfile(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("profile import"),
                     tr("Сохраняет профиль ККТ из файла в хранилище настроек. Номенклатура "
                        "заменяется, только если она есть в файле."));
    line.addArgument(QStringLiteral("FILE"), tr("Файл профиля (из profile export или params read)."));
    line.addFlag(QStringLiteral("force"), tr("Заменить уже сохранённый профиль этой ККТ."));
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    ProfileFile file;
    QString error;
    if (!file.read(line.argument(0), &error)) {
        Console::error(error);
        return StatusBadInput;
    }
    if (!isEmpty(storedProfile(file.serial)) && !line.isSet(QStringLiteral("force"))) {
        Console::error(tr("Профиль ККТ %1 уже сохранён; чтобы заменить его, укажите --force").arg(file.serial));
        return StatusBadInput;
    }
    DeviceProfile profile;
    profile.save(file.serial, file.version, file.goodsCapacity, file.params, file.system);
    if (file.hasGoods)
        profile.saveGoods(file.serial, file.goods);
    Console::out(tr("Профиль ККТ %1 сохранён").arg(file.serial));
    return StatusOk;
}
