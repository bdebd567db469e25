#pragma once

#include <QByteArray>
#include <QStringList>

// The receipt header or footer: 132 bytes of text, lines separated by a line feed.
class ReceiptText
{
public:
    static constexpr int Size = 132;

    static ReceiptText decode(const QByteArray &bytes);
    QByteArray encode() const { return m_bytes; }

    QString text() const;
    QStringList lines() const;
    // The lines joined with a line feed; whatever lies beyond 132 bytes is lost.
    void setLines(const QStringList &lines);

private:
    QByteArray m_bytes = QByteArray(Size, '\0');
};
