#include "params/deviceparams.h"

#include "params/paramsimage.h"

DeviceParams::DeviceParams(QObject *parent)
    : QObject(parent)
{
    const char *const names[PositionCount] = {
        "Кассир", "Ст.кассир", "Мл.менеджер", "Менеджер",
        "Ст.менеджер", "Администратор", "Директор", "Ген.директор",
    };
    for (const char *name : names)
        m_positions.append(PositionName(QString::fromUtf8(name)));
    for (int i = 1; i <= DeptCount; ++i)
        m_departments.append(DeptRecord(i, QStringLiteral("Отдел %1").arg(i), 1, 0));
}

QStringList DeviceParams::positionNames() const
{
    QStringList names;
    for (const PositionName &p : m_positions)
        names.append(p.text());
    return names;
}

QString DeviceParams::positionName(int index) const
{
    return index >= 0 && index < m_positions.size() ? m_positions.at(index).text() : QString();
}

void DeviceParams::setPositionName(int index, const QString &name)
{
    if (index >= 0 && index < m_positions.size())
        m_positions[index].setText(name);
}

void DeviceParams::clearSharedTables()
{
    m_positions.clear();
    m_departments.clear();
}

void DeviceParams::readPositionNames(const QByteArray &params)
{
    const QByteArray slice = ParamsImage::slice(params, PositionsOffset,
                                                PositionCount * PositionName::Size);
    for (int i = 0; i < PositionCount; ++i)
        m_positions.append(PositionName::decode(slice.mid(i * PositionName::Size, PositionName::Size)));
}

void DeviceParams::readDepartments(const QByteArray &params)
{
    const QByteArray slice = ParamsImage::slice(params, deptPage() * PageSize,
                                                DeptCount * DeptRecord::Size);
    for (int i = 0; i < DeptCount; ++i)
        m_departments.append(DeptRecord::decode(slice.mid(i * DeptRecord::Size, DeptRecord::Size)));
}

void DeviceParams::readReceiptTexts(const QByteArray &params)
{
    const QByteArray slice = ParamsImage::slice(params, designPage() * PageSize, 2 * PageSize);
    m_header = ReceiptText::decode(slice.left(ReceiptText::Size));
    m_footer = ReceiptText::decode(slice.mid(PageSize, ReceiptText::Size));
}

void DeviceParams::writePositionNames(QByteArray &params) const
{
    QByteArray bytes;
    for (int i = 0; i < PositionCount; ++i)
        bytes.append(m_positions.value(i).encode());
    ParamsImage::write(params, PositionsOffset, bytes);
}

void DeviceParams::writeDepartments(QByteArray &params) const
{
    QByteArray bytes;
    for (int i = 0; i < DeptCount; ++i)
        bytes.append(m_departments.value(i).encode());
    ParamsImage::write(params, deptPage() * PageSize, bytes);
}

void DeviceParams::writeReceiptTexts(QByteArray &params) const
{
    ParamsImage::write(params, designPage() * PageSize, m_header.encode());
    ParamsImage::write(params, designPage() * PageSize + PageSize, m_footer.encode());
}
