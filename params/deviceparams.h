#pragma once

#include "params/deptrecord.h"
#include "params/positionname.h"
#include "params/receipttext.h"

#include <QObject>
#include <QStringList>
#include <QVector>

// The in-memory tables of one register, filled from and written back into its
// params image and system block. The base holds the tables whose records both
// firmware families share; only their pages differ.
class DeviceParams : public QObject
{
    Q_OBJECT

public:
    static constexpr int PageSize = 256;
    static constexpr int PositionCount = 8;
    static constexpr int DeptCount = 16;
    static constexpr int PositionsOffset = 128;

    explicit DeviceParams(QObject *parent = nullptr);

    virtual void load(const QString &serial, const QByteArray &params, const QByteArray &system) = 0;
    virtual void save(QByteArray &params, QByteArray &system) = 0;
    virtual int deptPage() const = 0;
    virtual int designPage() const = 0;

    QVector<PositionName> &positions() { return m_positions; }
    const QVector<PositionName> &positions() const { return m_positions; }
    QStringList positionNames() const;
    QString positionName(int index) const;
    void setPositionName(int index, const QString &name);

    QVector<DeptRecord> &departments() { return m_departments; }
    const QVector<DeptRecord> &departments() const { return m_departments; }

    ReceiptText &header() { return m_header; }
    const ReceiptText &header() const { return m_header; }
    ReceiptText &footer() { return m_footer; }
    const ReceiptText &footer() const { return m_footer; }
    QStringList headerLines() const { return m_header.lines(); }
    void setHeaderLines(const QStringList &lines) { m_header.setLines(lines); }
    QStringList footerLines() const { return m_footer.lines(); }
    void setFooterLines(const QStringList &lines) { m_footer.setLines(lines); }

protected:
    // Empties the shared tables before a load fills them again.
    void clearSharedTables();
    void readPositionNames(const QByteArray &params);
    void readDepartments(const QByteArray &params);
    void readReceiptTexts(const QByteArray &params);
    void writePositionNames(QByteArray &params) const;
    void writeDepartments(QByteArray &params) const;
    void writeReceiptTexts(QByteArray &params) const;

private:
    QVector<PositionName> m_positions;
    QVector<DeptRecord> m_departments;
    ReceiptText m_header;
    ReceiptText m_footer;
};
