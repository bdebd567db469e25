#include "goods/qcsvsource.h"

QCsvSource::QCsvSource(const QByteArray &bytes)
{
    m_buffer.setData(bytes);
    m_buffer.open(QIODevice::ReadOnly);
}

QCsvSource::~QCsvSource()
{
    m_buffer.close();
}

int QCsvSource::read(char *buffer, int size)
{
    if (size <= 0 || m_buffer.atEnd())
        return 0;
    // The reader adds the count to its end of data: an error must read as the
    // end, never as a negative length.
    const qint64 got = m_buffer.read(buffer, size);
    return got > 0 ? static_cast<int>(got) : 0;
}
