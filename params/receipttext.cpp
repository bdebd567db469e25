#include "params/receipttext.h"

#include "params/paramsimage.h"

ReceiptText ReceiptText::decode(const QByteArray &bytes)
{
    ReceiptText r;
    r.m_bytes.replace(0, qMin(Size, bytes.size()), bytes.left(Size));
    return r;
}

QString ReceiptText::text() const
{
    return ParamsImage::text(m_bytes);
}

QStringList ReceiptText::lines() const
{
    return text().split(QLatin1Char('\n'));
}

void ReceiptText::setLines(const QStringList &lines)
{
    m_bytes = ParamsImage::textField(lines.join(QLatin1Char('\n')), Size, Size);
}
