#pragma once

#include <QByteArray>
#include <QString>

// Access to the tables inside a params image or system block. Reading takes
// a copy of a slice; writing overwrites only the bytes a table owns, so
// whatever the register keeps between the tables survives a save.
class ParamsImage
{
public:
    // The bytes at [offset, offset + size), shorter when the image is short.
    static QByteArray slice(const QByteArray &image, int offset, int size);
    // Overwrites the bytes at offset; a short image grows with zero bytes first.
    static void write(QByteArray &image, int offset, const QByteArray &bytes);

    // A text field of `size` bytes holding at most `maxBytes` bytes of text.
    static QByteArray textField(const QString &text, int maxBytes, int size);
    // The text of a field, up to its first zero byte.
    static QString text(const QByteArray &field);
};
