#pragma once

#include <QByteArray>
#include <QString>

// Organisation requisites of a 2.53 register, 1024 bytes at offset 512.
class OrgBlock53
{
public:
    static constexpr int Size = 1024;
    static constexpr int InnSize = 13, InnMax = 12;
    static constexpr int EmailSize = 64, EmailMax = 63;
    static constexpr int TextSize = 256, TextMax = 240;
    static constexpr int NameOffset = 256, AddressOffset = 512, PlaceOffset = 768;

    static OrgBlock53 decode(const QByteArray &block);
    // Writes the fields at `offset`, leaving the unused gap of the block alone.
    void writeInto(QByteArray &image, int offset) const;

    QString inn() const;
    void setInn(const QString &inn);
    QString email() const;
    void setEmail(const QString &email);
    QString name() const;
    void setName(const QString &name);
    QString address() const;
    void setAddress(const QString &address);
    QString place() const;
    void setPlace(const QString &place);

private:
    static QByteArray readText(const QByteArray &block, int offset);

    QByteArray m_inn = QByteArray(InnSize, '\0');
    QByteArray m_email = QByteArray(EmailSize, '\0');
    // The last byte of each stays zero, so a text always ends inside its field.
    QByteArray m_name = QByteArray(TextSize, '\0');
    QByteArray m_address = QByteArray(TextSize, '\0');
    QByteArray m_place = QByteArray(TextSize, '\0');
};
