#include "session/backupguard.h"

#include "goods/goodsrecord.h"
#include "link/devicenet.h"
#include "link/linkframe.h"
#include "link/linkresult.h"
#include "link/taggedblock.h"
#include "session/backupstore.h"
#include "session/profilefile.h"
#include "session/sessionresult.h"

#include <QDir>
#include <QtEndian>

namespace {

constexpr int SystemArea = 1;
constexpr int ParamsArea = 2;
constexpr int GoodsArea = 5;
constexpr int Page = LinkFrame::PageSize;

int pagesOf(int bytes)
{
    return (bytes + Page - 1) / Page;
}

bool holdsEndMarker(const QByteArray &pages)
{
    for (int at = 0; at + 2 <= pages.size(); at += GoodsRecord::Size) {
        if (qFromLittleEndian<qint16>(pages.constData() + at) == GoodsRecord::EndNumber)
            return true;
    }
    return false;
}

}

BackupGuard::BackupGuard(Kind kind, const QString &serial)
    : m_kind(kind)
    , m_serial(serial)
{
}

BackupGuard BackupGuard::forParams(const QString &serial, const QByteArray &params, const QByteArray &system)
{
    BackupGuard guard(Kind::Params, serial);
    guard.m_params = params;
    guard.m_system = system;
    return guard;
}

BackupGuard BackupGuard::forGoods(const QString &serial, const QByteArray &areaImage)
{
    BackupGuard guard(Kind::Goods, serial);
    guard.m_goods = areaImage;
    return guard;
}

BackupGuard BackupGuard::forSnapshot(const QString &serial)
{
    return BackupGuard(Kind::Snapshot, serial);
}

int BackupGuard::before(DeviceNet &net, const RegisterIdentity &identity)
{
    m_identity = identity;
    if (m_kind == Kind::Snapshot)
        return readGoods(net, 0);
    ProfileFile file;
    if (m_kind == Kind::Params) {
        const int rc = readParams(net);
        if (rc != LinkOk)
            return rc;
        file.params = m_paramsBefore;
        file.system = m_systemBefore;
        return store(file, ProfileFile::paramsKind());
    }
    const int rc = readGoods(net, pagesOf(m_goods.size()));
    if (rc != LinkOk)
        return rc;
    file.goodsArea = m_goodsBefore;
    file.goods = m_goodsBefore.mid(GoodsRecord::Size);
    file.hasGoods = true;
    return store(file, ProfileFile::goodsKind());
}

int BackupGuard::after(DeviceNet &net)
{
    if (m_kind != Kind::Snapshot)
        return verify(net);
    // The parameter read has just brought the params and system areas.
    TaggedBlock::takeParams(net.request()->output, &m_paramsBefore, &m_systemBefore);
    ProfileFile params;
    params.params = m_paramsBefore;
    params.system = m_systemBefore;
    int rc = store(params, ProfileFile::paramsKind());
    if (rc != LinkOk)
        return rc;
    ProfileFile goods;
    goods.goodsArea = m_goodsBefore;
    goods.goods = m_goodsBefore.mid(GoodsRecord::Size);
    goods.hasGoods = true;
    return store(goods, ProfileFile::goodsKind());
}

int BackupGuard::readParams(DeviceNet &net)
{
    const DeviceNet::AreaDescriptor params = net.area(ParamsArea);
    const DeviceNet::AreaDescriptor system = net.area(SystemArea);
    const int rc = net.readArea(&m_paramsBefore, params.first, params.count);
    return rc != LinkOk ? rc : net.readArea(&m_systemBefore, system.first, system.count);
}

int BackupGuard::readGoods(DeviceNet &net, int touchedPages)
{
    // Every page a write touches, and the old goods in full even where the
    // new list is shorter.
    const DeviceNet::AreaDescriptor goods = net.area(GoodsArea);
    int done = 0;
    bool ended = false;
    while (done < goods.count && (done < touchedPages || !ended)) {
        QByteArray chunk;
        const int n = qMin(LinkFrame::MaxPagesPerRequest, goods.count - done);
        const int rc = net.readPages(&chunk, goods.first + done, n);
        if (rc != LinkOk)
            return rc;
        // The header record is no end marker, whatever it holds.
        ended = ended || holdsEndMarker(done == 0 ? chunk.mid(GoodsRecord::Size) : chunk);
        m_goodsBefore += chunk;
        done += n;
        if (net.isStopped())
            return LinkStopped;
    }
    return LinkOk;
}

int BackupGuard::store(ProfileFile &file, const QString &kind)
{
    file.serial = m_serial;
    file.version = m_identity.version;
    file.goodsCapacity = m_identity.goodsCapacity;
    file.backupKind = kind;
    file.backupTime = QDateTime::currentDateTime();
    QString error;
    const QString path = BackupStore::store(file, &error);
    if (path.isEmpty()) {
        m_reason = m_kind == Kind::Snapshot
                           ? tr("резервная копия не сохранена (%1)").arg(error)
                           : tr("резервная копия не сохранена (%1), ничего не записано").arg(error);
        return SessionBackupFailed;
    }
    m_files << path;
    return LinkOk;
}

int BackupGuard::verify(DeviceNet &net)
{
    if (m_kind == Kind::Goods) {
        const DeviceNet::AreaDescriptor goods = net.area(GoodsArea);
        const int pages = pagesOf(m_goods.size());
        // The tail of the last page keeps what it held.
        const QByteArray expected = m_goods + m_goodsBefore.mid(m_goods.size(), pages * Page - m_goods.size());
        QByteArray read;
        const int rc = net.readArea(&read, goods.first, pages);
        return rc != LinkOk ? rc : compare(expected, read, goods.first);
    }
    for (const auto &written : {qMakePair(ParamsArea, m_params), qMakePair(SystemArea, m_system)}) {
        if (written.second.isEmpty())
            continue;
        const DeviceNet::AreaDescriptor area = net.area(written.first);
        QByteArray expected = written.second;
        expected.append(QByteArray(area.count * Page - expected.size(), '\0'));
        QByteArray read;
        int rc = net.readArea(&read, area.first, area.count);
        if (rc == LinkOk)
            rc = compare(expected, read, area.first);
        if (rc != LinkOk)
            return rc;
    }
    return LinkOk;
}

int BackupGuard::compare(const QByteArray &expected, const QByteArray &read, int firstPage)
{
    if (read == expected)
        return LinkOk;
    int at = 0;
    while (at < expected.size() && at < read.size() && expected.at(at) == read.at(at))
        ++at;
    m_reason = tr("ККТ хранит на странице %1 не то, что было записано; резервная копия: %2")
                   .arg(firstPage + at / Page)
                   .arg(QDir::toNativeSeparators(m_files.value(0)));
    return SessionVerifyFailed;
}
