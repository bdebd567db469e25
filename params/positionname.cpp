#include "params/positionname.h"

#include "params/paramsimage.h"

PositionName PositionName::decode(const QByteArray &bytes)
{
    PositionName name;
    name.m_bytes.replace(0, qMin(Size, bytes.size()), bytes.left(Size));
    return name;
}

QString PositionName::text() const
{
    return ParamsImage::text(m_bytes);
}

void PositionName::setText(const QString &text)
{
    m_bytes = ParamsImage::textField(text, Size, Size);
}
