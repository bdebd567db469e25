#include "session/profilefile.h"

#include "goods/goodsrecord.h"
#include "link/taggedblock.h"
#include "session/firmwarefamily.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

const char *const kFormat = "korvane-profile";
// The longest serial number a register keeps (2.53: 20 bytes).
const int kMaxSerial = 20;

// Refuses what QByteArray::fromBase64 would silently skip over.
bool decodeBase64(const QJsonValue &value, QByteArray *bytes)
{
    if (!value.isString())
        return false;
    const QString text = value.toString();
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9+/]*={0,2}$"));
    if (text.size() % 4 != 0 || !pattern.match(text).hasMatch())
        return false;
    *bytes = QByteArray::fromBase64(text.toLatin1());
    return true;
}

// ISO 8601 with the offset from UTC, so that a file read elsewhere keeps its moment.
QString isoWithOffset(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QString base64(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

}

QByteArray ProfileFile::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("format"), QLatin1String(kFormat));
    object.insert(QStringLiteral("formatVersion"), FormatVersion);
    object.insert(QStringLiteral("serial"), serial);
    object.insert(QStringLiteral("version"), version);
    object.insert(QStringLiteral("goodsCapacity"), goodsCapacity);
    object.insert(QStringLiteral("params"), base64(params));
    object.insert(QStringLiteral("system"), base64(system));
    if (hasGoods)
        object.insert(QStringLiteral("goods"), base64(goods));
    if (!goodsArea.isEmpty())
        object.insert(QStringLiteral("goodsArea"), base64(goodsArea));
    if (!backupKind.isEmpty()) {
        object.insert(QStringLiteral("backup"),
                      QJsonObject{{QStringLiteral("kind"), backupKind},
                                  {QStringLiteral("time"), isoWithOffset(backupTime)}});
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

bool ProfileFile::fromJson(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    // The parser's own words are English; the offset is what helps.
    if (parseError.error != QJsonParseError::NoError) {
        *error = tr("не файл профиля ККТ (ошибка JSON в позиции %1)").arg(parseError.offset);
        return false;
    }
    if (!document.isObject()) {
        *error = tr("не файл профиля ККТ (в файле не объект JSON)");
        return false;
    }
    const QJsonObject object = document.object();
    if (object.value(QStringLiteral("format")).toString() != QLatin1String(kFormat)) {
        *error = tr("не файл профиля ККТ");
        return false;
    }
    const QJsonValue formatVersion = object.value(QStringLiteral("formatVersion"));
    if (!formatVersion.isDouble() || formatVersion.toDouble() != FormatVersion) {
        *error = tr("версия формата %1 не поддерживается").arg(formatVersion.toVariant().toString());
        return false;
    }

    ProfileFile file;
    const QJsonValue serialValue = object.value(QStringLiteral("serial"));
    const QJsonValue versionValue = object.value(QStringLiteral("version"));
    const QJsonValue capacityValue = object.value(QStringLiteral("goodsCapacity"));
    file.serial = serialValue.toString();
    file.version = versionValue.toString();
    const double capacity = capacityValue.toDouble(-1);
    if (!serialValue.isString() || file.serial.isEmpty() || !versionValue.isString()
        || !capacityValue.isDouble() || capacity < 0 || capacity > 0x7FFFFFFF || capacity != int(capacity)) {
        *error = tr("нет заводского номера, версии или ёмкости номенклатуры");
        return false;
    }
    // The serial names a group of the settings store: a slash would reach
    // into another register's profile, or out of the profiles altogether.
    if (file.serial.size() > kMaxSerial || file.serial.contains(QLatin1Char('/'))
        || file.serial.contains(QLatin1Char('\\'))) {
        *error = tr("недопустимый заводской номер %1").arg(file.serial);
        return false;
    }
    file.goodsCapacity = int(capacity);
    file.hasGoods = object.contains(QStringLiteral("goods"));
    const bool hasArea = object.contains(QStringLiteral("goodsArea"));
    if (!decodeBase64(object.value(QStringLiteral("params")), &file.params)
        || !decodeBase64(object.value(QStringLiteral("system")), &file.system)
        || (file.hasGoods && !decodeBase64(object.value(QStringLiteral("goods")), &file.goods))
        || (hasArea && !decodeBase64(object.value(QStringLiteral("goodsArea")), &file.goodsArea))) {
        *error = tr("повреждены двоичные данные");
        return false;
    }
    const QJsonObject backup = object.value(QStringLiteral("backup")).toObject();
    file.backupKind = backup.value(QStringLiteral("kind")).toString();
    file.backupTime = QDateTime::fromString(backup.value(QStringLiteral("time")).toString(), Qt::ISODate);

    // Parameters are only of use with the family that can read them, and a
    // block longer than the link carries could never reach a register.
    if (!file.params.isEmpty() || !file.system.isEmpty()) {
        const FirmwareFamily *family = FirmwareFamily::forVersion(file.version);
        if (!family) {
            *error = tr("версия ККТ %1 не поддерживается").arg(file.version);
            return false;
        }
        const int systemSize = file.system.isEmpty() ? family->systemLayoutSize() : file.system.size();
        if (!family->blocksFit(file.params.size(), family->systemLayoutSize())) {
            *error = tr("размер параметров %1 байт не подходит для версии %2")
                         .arg(file.params.size())
                         .arg(file.version);
            return false;
        }
        if (!family->blocksFit(family->paramsLayoutSize(), systemSize)) {
            *error = tr("размер системного блока %1 байт не подходит для версии %2")
                         .arg(file.system.size())
                         .arg(file.version);
            return false;
        }
    }
    // A larger image could not even number its records (the header record and
    // two end markers aside), and would only cost the windows and the store
    // memory.
    for (const QByteArray &records : {file.goods, file.goodsArea}) {
        if (records.size() % GoodsRecord::Size != 0) {
            *error = tr("размер номенклатуры %1 байт не кратен записи").arg(records.size());
            return false;
        }
        if (records.size() / GoodsRecord::Size > GoodsRecord::MaxGoods + 3) {
            *error = tr("номенклатура из %1 записей больше, чем помещается в ККТ")
                         .arg(records.size() / GoodsRecord::Size);
            return false;
        }
    }
    *this = file;
    return true;
}

bool ProfileFile::read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("Не удалось открыть файл %1: %2").arg(path, file.errorString());
        return false;
    }
    QString reason;
    if (!fromJson(file.readAll(), &reason)) {
        *error = tr("Файл %1 не принят: %2").arg(path, reason);
        return false;
    }
    return true;
}

bool ProfileFile::write(const QString &path, QString *error) const
{
    // A failed write leaves an earlier file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toJson()) < 0 || !file.commit()) {
        *error = tr("Не удалось записать файл %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

