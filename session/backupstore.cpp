#include "session/backupstore.h"

#include "goods/goodscodec.h"
#include "goods/goodsrecord.h"
#include "params/appsettings.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "session/firmwareversion.h"
#include "session/profilefile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss");

// 20261208-140102-params.json, or 20261208-140102-2-params.json for a second
// backup of the same kind within the same second.
const QRegularExpression &namePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{8}-\\d{6})(?:-(\\d+))?-(params|goods)\\.json$"));
    return pattern;
}

// On Windows a folder whose parent another thread creates at the same moment
// is not made (its parents are made one by one, and one already there counts
// as a failure); a second try finds the parent in place. Fleet commands store
// the first backups of several registers at once.
bool makeFolder(const QString &dir)
{
    return QDir().mkpath(dir) || QDir().mkpath(dir);
}

struct Name
{
    QString file;
    QString stamp;
    int sequence = 1;
    QString kind;
};

QVector<Name> namesIn(const QString &folder)
{
    QVector<Name> names;
    for (const QString &file : QDir(folder).entryList(QDir::Files)) {
        const QRegularExpressionMatch match = namePattern().match(file);
        if (match.hasMatch())
            names.append({file, match.captured(1), match.captured(2).isEmpty() ? 1 : match.captured(2).toInt(),
                          match.captured(3)});
    }
    std::sort(names.begin(), names.end(), [](const Name &a, const Name &b) {
        return a.stamp != b.stamp ? a.stamp > b.stamp : a.sequence > b.sequence;
    });
    return names;
}

QString organisationOf(const ProfileFile &file)
{
    const std::unique_ptr<DeviceParams> params = FirmwareVersion::createParams(file.version);
    if (!params)
        return QString();
    params->load(file.serial, file.params, file.system);
    if (const auto *set53 = qobject_cast<const DeviceParams53 *>(params.get()))
        return set53->org().name();
    if (const auto *set52 = qobject_cast<const DeviceParams52 *>(params.get()))
        return set52->org().name();
    return QString();
}

void prune(const QString &folder, const QString &kind)
{
    int kept = 0;
    for (const Name &name : namesIn(folder)) {
        if (name.kind == kind && ++kept > BackupStore::Kept)
            QFile::remove(QDir(folder).filePath(name.file));
    }
}

}

QString BackupStore::folder(const QString &serial)
{
    // The serial number names a folder: nothing in it may lead out of the
    // backups, whatever a register or a command line says.
    static const QRegularExpression safe(QStringLiteral("^[0-9A-Za-z_-]{1,20}$"));
    if (!safe.match(serial).hasMatch())
        return QString();
    const QString data = AppSettings::dataFolder();
    if (data.isEmpty())
        return QString();
    return QDir(data).filePath(QStringLiteral("backups/") + serial);
}

QString BackupStore::store(const ProfileFile &file, QString *error)
{
    const QString dir = folder(file.serial);
    if (dir.isEmpty()) {
        *error = tr("заводской номер «%1» не годится для имени папки резервных копий").arg(file.serial);
        return QString();
    }
    if (!makeFolder(dir)) {
        *error = tr("не удалось создать папку %1").arg(QDir::toNativeSeparators(dir));
        return QString();
    }
    const QString stamp = file.backupTime.toString(kTimeFormat);
    QString path = QDir(dir).filePath(QStringLiteral("%1-%2.json").arg(stamp, file.backupKind));
    for (int sequence = 2; QFileInfo::exists(path); ++sequence)
        path = QDir(dir).filePath(QStringLiteral("%1-%2-%3.json").arg(stamp).arg(sequence).arg(file.backupKind));
    QString reason;
    if (!file.write(path, &reason)) {
        *error = reason;
        return QString();
    }
    prune(dir, file.backupKind);
    return path;
}

QVector<BackupEntry> BackupStore::list(const QString &serial)
{
    QVector<BackupEntry> entries;
    const QString dir = folder(serial);
    if (dir.isEmpty())
        return entries;
    for (const Name &name : namesIn(dir)) {
        BackupEntry entry;
        QString error;
        if (describe(QDir(dir).filePath(name.file), &entry, &error))
            entries.append(entry);
    }
    // Names tell seconds only; two writes within one second are told apart
    // by the time inside.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const BackupEntry &a, const BackupEntry &b) { return a.time > b.time; });
    return entries;
}

bool BackupStore::describe(const QString &path, BackupEntry *entry, QString *error, ProfileFile *backup)
{
    ProfileFile own;
    ProfileFile &file = backup ? *backup : own;
    if (!file.read(path, error))
        return false;
    if (file.backupKind != ProfileFile::paramsKind() && file.backupKind != ProfileFile::goodsKind()) {
        *error = tr("Файл %1 не резервная копия ККТ").arg(path);
        return false;
    }
    entry->file = QFileInfo(path).absoluteFilePath();
    entry->kind = file.backupKind;
    entry->time = file.backupTime;
    if (file.backupKind == ProfileFile::paramsKind()) {
        entry->size = file.params.size() + file.system.size();
        entry->organisation = organisationOf(file);
    } else {
        entry->size = file.goodsArea.size();
        entry->goods = decodeGoods(file.goods).size();
    }
    return true;
}
