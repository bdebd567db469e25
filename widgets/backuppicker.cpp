#include "widgets/backuppicker.h"

#include "session/backupstore.h"
#include "session/profilefile.h"
#include "session/registersession.h"
#include "widgets/dialogs.h"
#include "widgets/exchangeprogress.h"

#include <QFileInfo>
#include <QStringList>
#include <QVector>
#include <QWidget>

namespace {

QString describe(const BackupEntry &entry)
{
    const QString time = entry.time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    if (entry.kind == ProfileFile::goodsKind())
        return BackupPicker::tr("%1 — товаров: %2").arg(time).arg(entry.goods);
    const QString organisation = entry.organisation.isEmpty() ? BackupPicker::tr("организация не указана")
                                                              : QStringLiteral("«%1»").arg(entry.organisation);
    return BackupPicker::tr("%1 — %2 байт — %3").arg(time).arg(entry.size).arg(organisation);
}

}

QString BackupPicker::choose(QWidget *parent, const QString &title, const QString &serial, const QString &kind)
{
    QVector<BackupEntry> entries;
    for (const BackupEntry &entry : BackupStore::list(serial)) {
        if (entry.kind == kind)
            entries.append(entry);
    }
    if (entries.isEmpty()) {
        Dialogs::information(parent, title, tr("Резервных копий ККТ %1 нет").arg(serial));
        return QString();
    }
    QStringList items;
    for (const BackupEntry &entry : entries) {
        // Two backups alike in every shown word are told apart by their files.
        const QString text = describe(entry);
        items << (items.contains(text) ? QStringLiteral("%1 (%2)").arg(text, QFileInfo(entry.file).fileName()) : text);
    }
    bool ok = false;
    const QString item = Dialogs::getItem(parent, title, tr("Резервная копия, от новых к старым:"), items, 0, &ok);
    const int index = items.indexOf(item);
    if (!ok || index < 0)
        return QString();
    const QString confirm = tr("Записать в ККТ резервную копию от %1? Перед записью будет снята копия "
                               "текущего состояния ККТ.")
                                    .arg(entries.at(index).time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    return Dialogs::question(parent, title, confirm) ? entries.at(index).file : QString();
}

bool BackupPicker::read(QWidget *parent, const QString &title, const QString &file, ProfileFile *backup)
{
    QString error;
    if (backup->read(file, &error))
        return true;
    Dialogs::critical(parent, title, error);
    return false;
}

void BackupPicker::restore(QWidget *owner, RegisterSession &session, const QString &file,
                           const std::function<void(const ProfileFile &)> &finished)
{
    const QString title = tr("Восстановление из резервной копии");
    ProfileFile backup;
    if (!read(owner, title, file, &backup) || !ExchangeProgress::isReachable(owner, title, session.address()))
        return;
    ExchangeProgress::Options options;
    options.progressText = tr("Восстановление в ККТ...");
    ExchangeProgress::run(owner, session, options, owner, [finished, backup] { finished(backup); },
                          [&session, backup] { session.restore(backup); });
}
