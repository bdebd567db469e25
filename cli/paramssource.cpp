#include "cli/paramssource.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/consolesession.h"
#include "params/deviceprofile.h"
#include "session/firmwareversion.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

int fromProfile(const QString &serial, ProfileFile *file)
{
    file->serial = serial;
    DeviceProfile().load(serial, file->version, file->goodsCapacity, file->params, file->system);
    if (file->params.isEmpty()) {
        Console::error(ParamsSource::tr("В сохранённом профиле ККТ %1 нет параметров").arg(serial));
        return StatusBadInput;
    }
    return StatusOk;
}

int fromRegister(const QString &address, quint16 port, const QString &serial, ProfileFile *file)
{
    ConsoleSession session(address, port, serial);
    const int status = session.readParams(&file->params, &file->system);
    if (status != StatusOk)
        return status;
    file->serial = serial;
    file->version = session.identity().version;
    file->goodsCapacity = session.identity().goodsCapacity;
    return StatusOk;
}

}

QString ParamsSource::syntax()
{
    return tr("файл параметров или профиля, profile:ЗАВ.НОМЕР (сохранённый профиль) или АДРЕС[:ПОРТ]/ЗАВ.НОМЕР (ККТ)");
}

int ParamsSource::load(const QString &source, quint16 defaultPort, ProfileFile *file)
{
    if (source.startsWith(QLatin1String("profile:")))
        return fromProfile(source.mid(int(qstrlen("profile:"))), file);
    static const QRegularExpression registerForm(QStringLiteral("^([0-9.]+)(?::(\\d+))?/(.+)$"));
    const QRegularExpressionMatch match = registerForm.match(source);
    if (match.hasMatch() && !QFileInfo::exists(source)) {
        const uint port = match.captured(2).isEmpty() ? defaultPort : match.captured(2).toUInt();
        if (!CommandLine::isAddress(match.captured(1)) || port < 1 || port > 65535) {
            Console::error(tr("Неверный адрес ККТ %1").arg(source));
            return StatusUsage;
        }
        return fromRegister(match.captured(1), quint16(port), match.captured(3), file);
    }
    QString error;
    if (!file->read(source, &error)) {
        Console::error(error);
        return StatusBadInput;
    }
    if (file->params.isEmpty()) {
        Console::error(tr("Файл %1 не содержит параметров").arg(source));
        return StatusBadInput;
    }
    return StatusOk;
}
