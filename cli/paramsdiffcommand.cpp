#include "cli/paramsdiffcommand.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/paramssource.h"
#include "session/paramsdiff.h"

#include <QJsonArray>
#include <QJsonDocument>

int ParamsDiffCommand::run(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("params diff"),
                     tr("Сравнивает два набора параметров одной версии: по строке на каждое поле, "
                        "которое различается, с подписями страниц редактора, и байты, которых "
                        "редактор не показывает. Код завершения 0, если различий нет, 1, если они есть."));
    line.addArgument(QStringLiteral("A"), ParamsSource::syntax());
    line.addArgument(QStringLiteral("B"), ParamsSource::syntax());
    line.addPortOption();
    line.addJsonOption();
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    ProfileFile a;
    ProfileFile b;
    status = ParamsSource::load(line.argument(0), line.port(), &a);
    if (status == StatusOk)
        status = ParamsSource::load(line.argument(1), line.port(), &b);
    if (status != StatusOk)
        return status;

    QVector<ParamsDifference> differences;
    QString error;
    if (!ParamsDiff::compare({a.serial, a.version, a.params, a.system}, {b.serial, b.version, b.params, b.system},
                             &differences, &error)) {
        Console::error(error);
        return StatusBadInput;
    }
    if (line.json()) {
        QJsonArray array;
        for (const ParamsDifference &d : differences)
            array.append(d.toJson());
        Console::out(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)).trimmed());
    } else {
        for (const ParamsDifference &d : differences)
            Console::out(d.text());
    }
    return differences.isEmpty() ? StatusOk : StatusIssues;
}
