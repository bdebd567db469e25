#include "cli/fleetreport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>

namespace {

const QStringList kCommonMembers{QStringLiteral("serial"),  QStringLiteral("name"),      QStringLiteral("address"),
                                 QStringLiteral("port"),    QStringLiteral("ok"),        QStringLiteral("code"),
                                 QStringLiteral("reachable"), QStringLiteral("started"), QStringLiteral("message")};

QJsonValue reachable(const FleetResult &result)
{
    switch (result.state) {
    case FleetResult::State::Waiting:
        return QJsonValue(QJsonValue::Null);
    case FleetResult::State::Done:
        return true;
    default:
        return false;
    }
}

QJsonObject objectOf(const FleetResult &result, const QStringList &members)
{
    QJsonObject object{{QStringLiteral("serial"), result.entry.serial},
                       {QStringLiteral("name"), result.entry.name},
                       {QStringLiteral("address"), result.entry.address},
                       {QStringLiteral("port"), result.entry.port},
                       {QStringLiteral("ok"), result.ok()},
                       {QStringLiteral("code"), result.code},
                       {QStringLiteral("reachable"), reachable(result)},
                       {QStringLiteral("started"), result.started()},
                       {QStringLiteral("message"), result.message}};
    for (const QString &member : members) {
        const QJsonValue value = result.members.value(member);
        object.insert(member, value.isUndefined() ? QJsonValue(QJsonValue::Null) : value);
    }
    return object;
}

QString csvText(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', 15);
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Array: {
        QStringList items;
        for (const QJsonValue &item : value.toArray())
            items << csvText(item);
        return items.join(QLatin1Char(','));
    }
    default:
        return QString();
    }
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString padded(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

}

QString FleetReport::line(const FleetResult &result, int done, int total)
{
    return tr("[%1/%2] %3 %4 — %5: %6")
        .arg(done)
        .arg(total)
        .arg(result.entry.serial, target(result.entry), outcome(result), result.message);
}

QString FleetReport::table(const QVector<FleetResult> &results)
{
    QVector<QStringList> rows{{tr("Заводской номер"), tr("Наименование"), tr("Адрес"), tr("Итог"), tr("Сообщение")}};
    for (const FleetResult &result : results)
        rows << QStringList{result.entry.serial, result.entry.name, target(result.entry), outcome(result), result.message};
    QVector<int> widths(rows.first().size() - 1, 0);
    for (const QStringList &row : qAsConst(rows)) {
        for (int column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths.at(column), int(row.at(column).size()));
    }
    QStringList lines{counts(results)};
    for (const QStringList &row : qAsConst(rows)) {
        QString text;
        for (int column = 0; column < widths.size(); ++column)
            text += padded(row.at(column), widths.at(column) + 2);
        lines << text + row.last();
    }
    return lines.join(QLatin1Char('\n'));
}

QString FleetReport::json(const QVector<FleetResult> &results, const QStringList &members)
{
    QJsonArray array;
    for (const FleetResult &result : results)
        array.append(objectOf(result, members));
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)).trimmed();
}

QString FleetReport::csv(const QVector<FleetResult> &results, const QStringList &members)
{
    // The free text last, so that a spreadsheet's columns stay narrow.
    const QStringList columns = kCommonMembers.mid(0, kCommonMembers.size() - 1) + members
                                + QStringList{kCommonMembers.last()};
    QStringList lines{columns.join(QLatin1Char(';'))};
    for (const FleetResult &result : results) {
        const QJsonObject object = objectOf(result, members);
        QStringList fields;
        for (const QString &column : columns)
            fields << csvField(csvText(object.value(column)));
        lines << fields.join(QLatin1Char(';'));
    }
    return lines.join(QLatin1Char('\n'));
}

QString FleetReport::outcome(const FleetResult &result)
{
    switch (result.state) {
    case FleetResult::State::Waiting:
        return tr("не начата");
    case FleetResult::State::Offline:
        return tr("без адреса");
    case FleetResult::State::Unreachable:
        return tr("не доступна");
    case FleetResult::State::Done:
        break;
    }
    return result.code == 0 ? tr("ОК") : tr("ошибка %1").arg(result.code);
}

QString FleetReport::target(const InventoryEntry &entry)
{
    if (entry.address.isEmpty())
        return tr("(адрес не задан)");
    if (entry.port == RegisterDefaults::TcpPort)
        return entry.address;
    return QStringLiteral("%1:%2").arg(entry.address).arg(entry.port);
}

QString FleetReport::counts(const QVector<FleetResult> &results)
{
    const int ok = int(std::count_if(results.begin(), results.end(), [](const FleetResult &r) { return r.ok(); }));
    const int waiting = int(std::count_if(results.begin(), results.end(), [](const FleetResult &r) {
        return r.state == FleetResult::State::Waiting;
    }));
    QString text = tr("Итого ККТ: %1, успешно: %2, не удалось: %3").arg(results.size()).arg(ok).arg(results.size() - ok - waiting);
    if (waiting > 0)
        text += tr(", не начато: %1").arg(waiting);
    return text;
}
