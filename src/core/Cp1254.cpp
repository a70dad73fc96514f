#include "core/Cp1254.h"

#include <QList>
#include <QtEndian>

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace zrv
{
namespace
{

// One conversion descriptor for the duration of a call.
class Converter
{
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        // iconv_open reports failure as (iconv_t)-1.
        if (m_cd == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr)
            throw std::runtime_error("iconv cannot convert between Windows-1254 and Unicode");
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns false at an input it cannot convert (the input
    // pointer then points at it) and true when the input is used up.
    bool Run(const char*& in, size_t& inLeft, char*& out, size_t& outLeft)
    {
        char* src = const_cast<char*>(in);
        const size_t rc = iconv(m_cd, &src, &inLeft, &out, &outLeft);
        in = src;
        if (rc != static_cast<size_t>(-1))
            return true;
        if (errno == EILSEQ || errno == EINVAL)
            return false;
        throw std::runtime_error("iconv: conversion buffer too small");
    }

  private:
    iconv_t m_cd;
};

constexpr char32_t kReplacement = 0xFFFD;

} // namespace

QString fromCp1254(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    Converter cv("UTF-32LE", "WINDOWS-1254");
    // One code point of four bytes for every input byte.
    QByteArray utf32(bytes.size() * 4, Qt::Uninitialized);
    const char* in = bytes.data();
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* out = utf32.data();
    size_t outLeft = static_cast<size_t>(utf32.size());
    while (inLeft > 0) {
        if (cv.Run(in, inLeft, out, outLeft))
            break;
        qToLittleEndian<quint32>(kReplacement, out);
        out += 4;
        outLeft -= 4;
        ++in;
        --inLeft;
    }
    const qsizetype count = (out - utf32.constData()) / 4;
    QList<char32_t> ucs4(count);
    for (qsizetype i = 0; i < count; ++i)
        ucs4[i] = qFromLittleEndian<quint32>(utf32.constData() + i * 4);
    return QString::fromUcs4(ucs4.constData(), count);
}

QByteArray toCp1254(QStringView text)
{
    if (text.isEmpty())
        return QByteArray();
    const QList<uint> ucs4 = text.toUcs4();
    QByteArray utf32(ucs4.size() * 4, Qt::Uninitialized);
    for (qsizetype i = 0; i < ucs4.size(); ++i)
        qToLittleEndian<quint32>(ucs4[i], utf32.data() + i * 4);

    Converter cv("WINDOWS-1254", "UTF-32LE");
    // At most one byte for every code point.
    QByteArray result(ucs4.size(), Qt::Uninitialized);
    const char* in = utf32.constData();
    size_t inLeft = static_cast<size_t>(utf32.size());
    char* out = result.data();
    size_t outLeft = static_cast<size_t>(result.size());
    while (inLeft > 0) {
        if (cv.Run(in, inLeft, out, outLeft))
            break;
        *out++ = '?';
        --outLeft;
        in += 4;
        inLeft -= 4;
    }
    result.truncate(out - result.constData());
    return result;
}

} // namespace zrv
