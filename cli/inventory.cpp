#include "cli/inventory.h"

#include "cli/commandline.h"
#include "params/deviceregistry.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTextCodec>

namespace {

const QStringList kColumns{QStringLiteral("serial"), QStringLiteral("address"), QStringLiteral("name")};
const QString kPortColumn = QStringLiteral("port");

QString tr(const char *text)
{
    return Inventory::tr(text);
}

// False for bytes that are not UTF-8: a file saved in the local code page
// would otherwise carry garbled names into every report.
bool decodeLine(const QByteArray &bytes, QString *line)
{
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    *line = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

// The fields of one line; a field in double quotes may hold ";" and "" for
// a quote, as spreadsheets write them.
bool splitFields(const QString &line, QStringList *fields)
{
    QString field;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted && c == QLatin1Char('"')) {
            if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                field += line.at(++i);
            else
                quoted = false;
        } else if (!quoted && c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            field.clear();
            quoted = true;
        } else if (!quoted && c == QLatin1Char(';')) {
            *fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    *fields << field.trimmed();
    return !quoted;
}

bool isHeader(const QStringList &fields)
{
    QStringList names;
    for (const QString &field : fields)
        names << field.toLower();
    return names == kColumns || names == kColumns + QStringList{kPortColumn};
}

bool parsePort(const QString &text, quint16 *port)
{
    if (text.isEmpty())
        return true;
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return false;
    *port = quint16(value);
    return true;
}

// The register of one row, or the reason the row is refused.
QString parseRow(const QStringList &fields, int columns, InventoryEntry *entry)
{
    if (fields.size() != columns)
        return tr("полей %1, а в заголовке %2").arg(fields.size()).arg(columns);
    entry->serial = fields.at(0);
    entry->address = fields.at(1);
    entry->name = fields.at(2);
    if (entry->serial.isEmpty())
        return tr("не задан заводской номер");
    if (!entry->address.isEmpty() && !CommandLine::isAddress(entry->address))
        return tr("неверный адрес %1").arg(entry->address);
    if (columns > kColumns.size() && !parsePort(fields.at(3), &entry->port))
        return tr("неверный порт %1 (допустимо от 1 до 65535)").arg(fields.at(3));
    return QString();
}

QString lineError(const QString &name, int line, const QString &reason)
{
    return tr("Файл %1, строка %2: %3").arg(name).arg(line).arg(reason);
}

}

bool Inventory::fromRegistry(QVector<InventoryEntry> *entries, QString *error)
{
    const DeviceRegistry registry;
    QVector<InventoryEntry> result;
    QHash<QString, bool> seen;
    for (const DeviceRecord &record : registry.devices()) {
        if (seen.contains(record.serial)) {
            *error = tr("В списке ККТ заводской номер %1 указан дважды").arg(record.serial);
            return false;
        }
        seen.insert(record.serial, true);
        if (!record.addr.isEmpty() && !CommandLine::isAddress(record.addr)) {
            *error = tr("В списке ККТ у ККТ %1 неверный адрес %2").arg(record.serial, record.addr);
            return false;
        }
        InventoryEntry entry;
        entry.serial = record.serial;
        entry.address = record.addr;
        entry.name = record.name;
        result << entry;
    }
    if (result.isEmpty()) {
        *error = tr("В списке ККТ нет ни одной ККТ; укажите файл --inventory FILE");
        return false;
    }
    *entries = result;
    return true;
}

bool Inventory::fromFile(const QString &path, QVector<InventoryEntry> *entries, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("Не удалось открыть файл %1: %2").arg(path, file.errorString());
        return false;
    }
    return parse(file.readAll(), path, entries, error);
}

bool Inventory::parse(const QByteArray &bytes, const QString &name, QVector<InventoryEntry> *entries,
                      QString *error)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.first().startsWith("\xEF\xBB\xBF"))
        lines.first().remove(0, 3);
    QVector<InventoryEntry> result;
    QHash<QString, int> lineOfSerial;
    int columns = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const int number = i + 1;
        QString line;
        QStringList fields;
        if (!decodeLine(lines.at(i), &line)) {
            *error = lineError(name, number, tr("текст не в кодировке UTF-8"));
            return false;
        }
        if (line.trimmed().isEmpty())
            continue;
        if (!splitFields(line.trimmed(), &fields)) {
            *error = lineError(name, number, tr("кавычка не закрыта"));
            return false;
        }
        if (columns == 0) {
            if (!isHeader(fields)) {
                *error = lineError(name, number, tr("ожидается заголовок serial;address;name или "
                                                    "serial;address;name;port"));
                return false;
            }
            columns = fields.size();
            continue;
        }
        InventoryEntry entry;
        entry.line = number;
        QString reason = parseRow(fields, columns, &entry);
        if (reason.isEmpty() && lineOfSerial.contains(entry.serial))
            reason = tr("заводской номер %1 уже указан в строке %2").arg(entry.serial).arg(lineOfSerial.value(entry.serial));
        if (!reason.isEmpty()) {
            *error = lineError(name, number, reason);
            return false;
        }
        lineOfSerial.insert(entry.serial, number);
        result << entry;
    }
    if (result.isEmpty()) {
        *error = tr("Файл %1: нет ни одной ККТ").arg(name);
        return false;
    }
    *entries = result;
    return true;
}
