#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// One department as the table shows it.
struct DeptRow
{
    QString name;
    int vat = 0;       // 1-based rate code
    int taxIndex = 0;  // index into the tax systems
};

// The departments table: name, VAT rate and tax system.
class DeptTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, VatColumn, TaxColumn, ColumnCount };

    explicit DeptTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    QStringList vatRates() const { return m_vatRates; }
    QStringList taxSystems() const { return m_taxSystems; }
    QVector<DeptRow> departments() const { return m_rows; }
    void setDepartments(const QVector<DeptRow> &rows);

private:
    bool storeValue(const QModelIndex &index, const QVariant &value, int role);

    QVector<DeptRow> m_rows;
    QStringList m_vatRates;
    QStringList m_taxSystems;
};
