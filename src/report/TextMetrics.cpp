#include "TextMetrics.h"

#include "Report.h"

#include <QHash>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <memory>

namespace report {

QPaintDevice &referenceDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dpm = int(std::lround(referenceDpi / 0.0254));
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        return image;
    }();
    return device;
}

TextMetrics::TextMetrics(const QFont &font)
    : m_font(font), m_metrics(font, &referenceDevice()), m_scale(25.4 / referenceDpi),
      m_ascent(m_metrics.ascent() * m_scale), m_lineHeight(m_metrics.height() * m_scale)
{
    m_charWidths.fill(-1);
}

const TextMetrics &TextMetrics::forFont(const QFont &font)
{
    static QHash<QString, std::shared_ptr<TextMetrics>> cache;
    const QString key = font.key();
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, std::make_shared<TextMetrics>(font));
    return **it;
}

const TextMetrics &TextMetrics::forReportFont(const QFont &font)
{
    // A handful of fonts per report; comparing fonts is much cheaper than resolving and keying them, and
    // copies of one font compare by their shared data.
    struct Entry {
        QFont font;
        const TextMetrics *metrics;
    };
    static std::vector<Entry> recent;
    for (const Entry &e : recent)
        if (e.font.isCopyOf(font))
            return *e.metrics;
    for (const Entry &e : recent)
        if (e.font == font)
            return *e.metrics;
    const TextMetrics &metrics = forFont(paperFont(font));
    if (recent.size() >= 64)
        recent.clear();
    recent.push_back({font, &metrics});
    return metrics;
}

namespace {

// Digits and the marks of amounts and dates: their widths add up without kerning or shaping.
bool isNumeric(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || u == u' ' || u == u',' || u == u'.' || u == u'-' || u == 0xA0 ||
              u == 0x2212 || u == u'/' || u == u':' || u == u'%'))
            return false;
    }
    return true;
}

} // namespace

namespace {

// Characters handed to the font's measurement, for tests and benchmarks that watch the cost of a layout.
quint64 measured = 0;

} // namespace

quint64 TextMetrics::charactersMeasured()
{
    return measured;
}

double TextMetrics::measure(QStringView text) const
{
    measured += quint64(text.size());
    return m_metrics.horizontalAdvance(text.toString()) * m_scale;
}

double TextMetrics::width(const QString &text) const
{
    if (const auto it = m_widths.constFind(text); it != m_widths.cend())
        return *it;
    // Amounts and dates are new on nearly every row: they are added up from their characters' widths.
    if (!text.isEmpty() && isNumeric(text)) {
        double sum = 0;
        for (const QChar c : text) {
            double &w = m_charWidths[c.unicode() == 0x2212 ? 0x100 : c.unicode()];
            if (w < 0) {
                ++measured;
                w = m_metrics.horizontalAdvance(c) * m_scale;
            }
            sum += w;
        }
        return sum;
    }
    if (m_widths.size() > 20000)
        m_widths.clear();
    const double w = measure(text);
    m_widths.insert(text, w);
    return w;
}

void TextMetrics::wrap(const QString &paragraph, double maxWidth, QStringList &lines, std::vector<double> &widths) const
{
    const auto push = [&](const QString &line) {
        lines << line;
        widths.push_back(width(line));
    };
    if (const double whole = width(paragraph); maxWidth < 0 || whole <= maxWidth) {
        lines << paragraph;
        widths.push_back(whole);
        return;
    }
    QString line;
    const QStringList words = paragraph.split(QLatin1Char(' '));
    for (const QString &word : words) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (width(candidate) <= maxWidth) {
            line = candidate;
            continue;
        }
        if (!line.isEmpty())
            push(line);
        line = breakWord(word, maxWidth, lines, widths);
    }
    push(line);
}

// A word too wide for a line of its own is broken between characters: each line takes the longest
// beginning of the rest that fits (at least one character). Only beginnings of about a line's length are
// measured, never the rest of the word, so the cost grows with the word's length and not with its square.
QString TextMetrics::breakWord(const QString &word, double maxWidth, QStringList &lines,
                               std::vector<double> &widths) const
{
    const qsizetype size = word.size();
    // A surrogate pair stays whole: a length never ends between its halves.
    const auto whole = [&](qsizetype start, qsizetype n) {
        if (start + n < size && word[start + n - 1].isHighSurrogate())
            n += n > 1 ? -1 : 1;
        return n;
    };
    qsizetype start = 0;
    qsizetype guess = 16; // a line's length in characters, learnt from the line before
    while (start < size) {
        const qsizetype rest = size - start;
        const auto fits = [&](qsizetype n, double &w) {
            w = measure(QStringView(word).mid(start, n));
            return w <= maxWidth;
        };
        // Bracket the answer: fit holds a length that fits (or 1), tooWide one that does not (or rest + 1).
        qsizetype fit = 1, tooWide = rest + 1;
        double fitWidth = -1, w = 0;
        qsizetype probe = std::clamp(guess, qsizetype(1), rest);
        if (fits(probe, w)) {
            fit = probe;
            fitWidth = w;
            // Usually the next length is already too wide; otherwise the step doubles.
            for (qsizetype step = 1; fit < rest; step *= 2) {
                probe = std::min(rest, fit + step);
                if (!fits(probe, w)) {
                    tooWide = probe;
                    break;
                }
                fit = probe;
                fitWidth = w;
            }
        } else {
            tooWide = probe;
            for (qsizetype step = 1; tooWide > 1; step *= 2) {
                probe = std::max(qsizetype(1), tooWide - step);
                if (fits(probe, w)) {
                    fit = probe;
                    fitWidth = w;
                    break;
                }
                tooWide = probe;
            }
        }
        while (tooWide - fit > 1) {
            const qsizetype middle = (fit + tooWide) / 2;
            if (fits(middle, w)) {
                fit = middle;
                fitWidth = w;
            } else {
                tooWide = middle;
            }
        }
        if (fit == rest) // the end of the word goes on with the words after it
            return word.mid(start);
        const qsizetype n = whole(start, fit);
        lines << word.mid(start, n);
        widths.push_back(n == fit && fitWidth >= 0 ? fitWidth : width(lines.last()));
        start += n;
        guess = n;
    }
    return QString();
}

QString TextMetrics::cut(const QString &text, double maxWidth) const
{
    if (width(text) <= maxWidth)
        return text;
    // The widest prefix that fits, found by halving: widths grow with the length.
    qsizetype fits = 0, tooWide = text.size();
    while (tooWide - fits > 1) {
        const qsizetype middle = (fits + tooWide) / 2;
        if (measure(QStringView(text).left(middle)) <= maxWidth)
            fits = middle;
        else
            tooWide = middle;
    }
    if (fits > 0 && text[fits - 1].isHighSurrogate())
        --fits;
    return text.left(fits);
}

QStringList splitLines(const QString &text)
{
    const QChar *chars = text.constData();
    const qsizetype size = text.size();
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < size; ++i)
        if (chars[i].unicode() == u'\n' || chars[i].unicode() == u'\r' || chars[i].unicode() == 0x2028)
            ++breaks;
    if (breaks == 0)
        return QStringList{text};
    QStringList lines;
    lines.reserve(breaks + 1);
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i].unicode();
        if (c != u'\n' && c != u'\r' && c != 0x2028)
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < size && chars[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    lines << text.mid(start);
    return lines;
}

} // namespace report
