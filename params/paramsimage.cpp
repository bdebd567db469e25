#include "params/paramsimage.h"

#include "params/cp1251codec.h"

#include <QBuffer>

QByteArray ParamsImage::slice(const QByteArray &image, int offset, int size)
{
    if (offset < 0 || offset >= image.size() || size <= 0)
        return QByteArray();
    return image.mid(offset, size);
}

void ParamsImage::write(QByteArray &image, int offset, const QByteArray &bytes)
{
    // Without truncation the buffer overwrites in place, and a seek past the
    // end fills the gap with zeros.
    QBuffer buffer(&image);
    buffer.open(QIODevice::WriteOnly);
    buffer.seek(offset);
    buffer.write(bytes);
}

QByteArray ParamsImage::textField(const QString &text, int maxBytes, int size)
{
    QByteArray field = Cp1251Codec::encodeField(text, qMin(maxBytes, size));
    field.append(QByteArray(size - field.size(), '\0'));
    return field;
}

QString ParamsImage::text(const QByteArray &field)
{
    return Cp1251Codec::decodeField(field);
}
