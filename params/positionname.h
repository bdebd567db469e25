#pragma once

#include <QByteArray>
#include <QString>

// A position (job title) name: 16 bytes of text, no terminator when full.
class PositionName
{
public:
    static constexpr int Size = 16;

    PositionName() = default;
    explicit PositionName(const QString &text) { setText(text); }

    static PositionName decode(const QByteArray &bytes);
    QByteArray encode() const { return m_bytes; }

    QString text() const;
    void setText(const QString &text);

private:
    QByteArray m_bytes = QByteArray(Size, '\0');
};
