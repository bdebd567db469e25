#include "session/writeguard.h"

#include "goods/goodsrecord.h"
#include "link/devicenet.h"
#include "link/linkframe.h"
#include "link/linkresult.h"
#include "session/backupstore.h"
#include "session/profilefile.h"
#include "session/sessionresult.h"

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

WriteGuard::WriteGuard(Kind kind, const QString &serial)
    : m_kind(kind)
    , m_serial(serial)
{
}

WriteGuard WriteGuard::forParams(const QString &serial, const QByteArray &params, const QByteArray &system)
{
    WriteGuard guard(Kind::Params, serial);
    guard.m_params = params;
    guard.m_system = system;
    return guard;
}

WriteGuard WriteGuard::forGoods(const QString &serial, const QByteArray &areaImage)
{
    WriteGuard guard(Kind::Goods, serial);
    guard.m_goods = areaImage;
    return guard;
}

int WriteGuard::backUp(DeviceNet &net, const RegisterIdentity &identity)
{
    return m_kind == Kind::Params ? backUpParams(net, identity) : backUpGoods(net, identity);
}

int WriteGuard::backUpParams(DeviceNet &net, const RegisterIdentity &identity)
{
    ProfileFile file;
    const DeviceNet::AreaDescriptor params = net.area(ParamsArea);
    const DeviceNet::AreaDescriptor system = net.area(SystemArea);
    int rc = net.readArea(&file.params, params.first, params.count);
    if (rc == LinkOk)
        rc = net.readArea(&file.system, system.first, system.count);
    if (rc != LinkOk)
        return rc;
    file.serial = m_serial;
    file.version = identity.version;
    file.goodsCapacity = identity.goodsCapacity;
    file.backupKind = ProfileFile::paramsKind();
    file.backupTime = QDateTime::currentDateTime();
    QString error;
    m_backupFile = BackupStore::store(file, &error);
    if (m_backupFile.isEmpty()) {
        m_reason = tr("резервная копия не сохранена (%1), ничего не записано").arg(error);
        return SessionBackupFailed;
    }
    return LinkOk;
}

int WriteGuard::backUpGoods(DeviceNet &net, const RegisterIdentity &identity)
{
    // Every page the write touches, and the old goods in full even where the
    // new list is shorter.
    const DeviceNet::AreaDescriptor goods = net.area(GoodsArea);
    const int touched = pagesOf(m_goods.size());
    int done = 0;
    bool ended = false;
    while (done < goods.count && (done < touched || !ended)) {
        QByteArray chunk;
        const int n = qMin(LinkFrame::MaxPagesPerRequest, goods.count - done);
        const int rc = net.readPages(&chunk, goods.first + done, n);
        if (rc != LinkOk)
            return rc;
        // The header record is no end marker, whatever it holds.
        ended = ended || holdsEndMarker(done == 0 ? chunk.mid(GoodsRecord::Size) : chunk);
        m_goodsBefore += chunk;
        done += n;
    }
    ProfileFile file;
    file.serial = m_serial;
    file.version = identity.version;
    file.goodsCapacity = identity.goodsCapacity;
    file.goodsArea = m_goodsBefore;
    file.goods = m_goodsBefore.mid(GoodsRecord::Size);
    file.hasGoods = true;
    file.backupKind = ProfileFile::goodsKind();
    file.backupTime = QDateTime::currentDateTime();
    QString error;
    m_backupFile = BackupStore::store(file, &error);
    if (m_backupFile.isEmpty()) {
        m_reason = tr("резервная копия не сохранена (%1), ничего не записано").arg(error);
        return SessionBackupFailed;
    }
    return LinkOk;
}

int WriteGuard::verify(DeviceNet &net)
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

int WriteGuard::compare(const QByteArray &expected, const QByteArray &read, int firstPage)
{
    if (read == expected)
        return LinkOk;
    int at = 0;
    while (at < expected.size() && at < read.size() && expected.at(at) == read.at(at))
        ++at;
    m_reason = tr("ККТ хранит на странице %1 не то, что было записано; резервная копия: %2")
                   .arg(firstPage + at / Page)
                   .arg(m_backupFile);
    return SessionVerifyFailed;
}
