#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cmath>
#include <string>
#include <string_view>

namespace report {

// Bytes of a PDF file or content stream, with the few number and string formats PDF needs. Everything
// here is inline: it runs for every glyph of every page.
class PdfBuffer {
public:
    std::string data;

    template <size_t N> PdfBuffer &operator<<(const char (&text)[N])
    {
        data.append(text, N - 1);
        return *this;
    }
    PdfBuffer &operator<<(const QByteArray &bytes)
    {
        data.append(bytes.constData(), size_t(bytes.size()));
        return *this;
    }
    PdfBuffer &operator<<(char c)
    {
        data.push_back(c);
        return *this;
    }
    PdfBuffer &operator<<(qint64 n)
    {
        char buf[24];
        char *end = buf + sizeof buf;
        char *p = end;
        const bool negative = n < 0;
        quint64 u = negative ? quint64(-(n + 1)) + 1 : quint64(n);
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (negative)
            *--p = '-';
        data.append(p, size_t(end - p));
        return *this;
    }
    PdfBuffer &operator<<(int n) { return *this << qint64(n); }
    // A real with at most three decimals and no trailing zeros.
    PdfBuffer &num(double v)
    {
        char buf[32];
        char *const end = buf + sizeof buf;
        char *p = end;
        const qint64 thousandths = qint64(v * 1000.0 + (v < 0 ? -0.5 : 0.5));
        quint64 whole = thousandths < 0 ? quint64(-thousandths) : quint64(thousandths);
        unsigned fraction = unsigned(whole % 1000);
        whole /= 1000;
        if (fraction) {
            int digits = 3;
            for (; fraction % 10 == 0; --digits)
                fraction /= 10;
            for (; digits > 0; --digits, fraction /= 10)
                *--p = char('0' + fraction % 10);
            *--p = '.';
        }
        do {
            *--p = char('0' + whole % 10);
            whole /= 10;
        } while (whole);
        if (thousandths < 0)
            *--p = '-';
        data.append(p, size_t(end - p));
        return *this;
    }
    // A glyph id inside a literal string: two bytes, escaped where the string syntax needs it.
    void glyph16(quint16 v)
    {
        for (const char c : {char(v >> 8), char(v & 0xff)}) {
            if (c == '(' || c == ')' || c == '\\') {
                data.push_back('\\');
                data.push_back(c);
            } else if (c == '\r') {
                data.append("\\r", 2);
            } else {
                data.push_back(c);
            }
        }
    }
    void hex16(quint16 v)
    {
        static const char digits[] = "0123456789ABCDEF";
        const char buf[4] = {digits[v >> 12], digits[(v >> 8) & 15], digits[(v >> 4) & 15], digits[v & 15]};
        data.append(buf, 4);
    }
    // A text string (document title, a word's characters) in UTF-16 as hexadecimal.
    void textString(const QString &text)
    {
        *this << "<FEFF";
        for (QChar c : text)
            hex16(c.unicode());
        *this << '>';
    }
    qint64 size() const { return qint64(data.size()); }
};

// Offsets are written to a thousandth of a point; they add up exactly when rounded first.
inline double thousandths(double v)
{
    return double(std::llround(v * 1000.0)) / 1000.0;
}

// Page streams are compressed fast (they are new in every document); fonts and character maps, which
// later documents reuse, as tightly as is reasonable.
enum class Packing { Fast = 1, Tight = 9 };

// `raw` in the zlib format of a FlateDecode stream; empty when it could not be compressed (out of memory).
QByteArray deflate(std::string_view raw, Packing packing);

} // namespace report
