#pragma once

#include <QByteArray>
#include <QString>

// One department of the register, 16 bytes.
class DeptRecord
{
public:
    static constexpr int Size = 16;
    static constexpr int NameSize = 13;
    static constexpr int NameMax = 12;

    DeptRecord() = default;
    DeptRecord(int number, const QString &name, int vat, int taxIndex);

    static DeptRecord decode(const QByteArray &bytes);
    QByteArray encode() const;

    QString name() const;
    void setName(const QString &name);
    QByteArray nameField() const { return m_name; }

    // The tax system as a list index: 0 none, k = bit k - 1 of the tax byte.
    int taxIndex() const { return taxIndexFromByte(tax); }
    void setTaxIndex(int index) { tax = taxByteFromIndex(index); }
    static int taxIndexFromByte(quint8 byte);
    static quint8 taxByteFromIndex(int index);

    qint8 number = 0;
    qint8 vat = 0;   // 1 "Без НДС" … 6 "НДС 0%"
    quint8 tax = 0;  // one bit of the tax systems, or none

private:
    QByteArray m_name = QByteArray(NameSize, '\0');
};
