#include "cli/cliapplication.h"

#include "cli/backupcommand.h"
#include "cli/clistatus.h"
#include "cli/console.h"
#include "cli/discovercommand.h"
#include "cli/fleetcommand.h"
#include "cli/goodscommand.h"
#include "cli/identifycommand.h"
#include "cli/paramscommand.h"
#include "cli/profilecommand.h"
#include "link/registerdefaults.h"

int CliApplication::run(const QStringList &arguments)
{
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("identify"))
        return IdentifyCommand::run(rest);
    if (command == QLatin1String("discover"))
        return DiscoverCommand::run(rest);
    if (command == QLatin1String("params"))
        return ParamsCommand::run(rest);
    if (command == QLatin1String("goods"))
        return GoodsCommand::run(rest);
    if (command == QLatin1String("profile"))
        return ProfileCommand::run(rest);
    if (command == QLatin1String("backup"))
        return BackupCommand::run(rest);
    if (command == QLatin1String("fleet"))
        return FleetCommand::run(rest);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        Console::out(helpText());
        return StatusOk;
    }
    if (command.isEmpty())
        Console::error(tr("Не задана команда. Справка: korvane-cli --help"));
    else
        Console::error(tr("Неизвестная команда \"%1\". Справка: korvane-cli --help").arg(command));
    return StatusUsage;
}

QString CliApplication::helpText()
{
    return tr("Использование: korvane-cli КОМАНДА [параметры]\n"
              "\n"
              "Команды:\n"
              "  identify ADDRESS                              заводской номер, версия, ёмкость номенклатуры\n"
              "  discover [--broadcast ADDRESS]...             поиск ККТ в локальной сети\n"
              "  params read ADDRESS --serial S --out FILE     параметры ККТ в файл\n"
              "  params write ADDRESS --serial S --in FILE     параметры из файла в ККТ (только 2.53)\n"
              "  params show FILE|ADDRESS [--serial S]         таблицы параметров в JSON\n"
              "  params check FILE|ADDRESS [--serial S]        проверка параметров 2.53\n"
              "  params diff A B [--json]                      различия двух наборов параметров\n"
              "  goods read ADDRESS --serial S --csv FILE      номенклатура ККТ в CSV-файл\n"
              "  goods write ADDRESS --serial S --csv FILE     номенклатура из CSV-файла в ККТ\n"
              "  profile export SERIAL FILE                    профиль ККТ из настроек в файл\n"
              "  profile import FILE                           профиль ККТ из файла в настройки\n"
              "  backup list SERIAL [--json]                   резервные копии, снятые перед записью\n"
              "  backup show FILE                              содержимое резервной копии в JSON\n"
              "  backup restore ADDRESS --serial S --from FILE резервная копия обратно в ККТ\n"
              "  fleet status [--inventory FILE]               опрос всех ККТ списка: доступность, версия, номер\n"
              "  fleet backup [--inventory FILE]               резервные копии всех ККТ списка\n"
              "  fleet goods CSV [--inventory FILE] [--force]  номенклатура из CSV-файла во все ККТ списка\n"
              "  fleet apply TEMPLATE [--groups G] [--apply]   общие настройки из шаблона во все ККТ списка\n"
              "\n"
              "Команды обмена с ККТ принимают --port N (по умолчанию %1).\n"
              "Команды fleet работают со списком ККТ программы или с файлом --inventory\n"
              "(serial;address;name[;port], UTF-8), с --jobs N ККТ одновременно (по умолчанию 8),\n"
              "и выводят итог таблицей, --json или --csv; Ctrl+C не начинает новые ККТ.\n"
              "Справка по команде: korvane-cli КОМАНДА --help\n"
              "\n"
              "Коды завершения:\n"
              "  0  успешно\n"
              "  1  проверка нашла проблемы (ничего не записано)\n"
              "  2  ошибка в командной строке\n"
              "  3  входные данные отвергнуты: файл, заводской номер, номенклатура\n"
              "  4  ККТ не доступна\n"
              "  5  обмен с ККТ завершился ошибкой\n"
              "  6  fleet: не все ККТ списка обслужены успешно")
        .arg(RegisterDefaults::TcpPort);
}
