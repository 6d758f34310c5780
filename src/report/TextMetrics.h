#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class QPaintDevice;

namespace report {

// Text is measured, and shaped for PDF files, at a fine resolution so that hinting does not skew widths.
constexpr int referenceDpi = 1200;
// The device of that resolution every measurement uses.
QPaintDevice &referenceDevice();

// Text measured in millimetres on paper, independent of the device that paints it later.
class TextMetrics {
public:
    // Cached per font; the reference stays valid for the program's life.
    static const TextMetrics &forFont(const QFont &font);
    // The metrics of the font a report font prints in on paper (paperFont), cached by the report font.
    static const TextMetrics &forReportFont(const QFont &font);

    const QFont &font() const { return m_font; }
    double width(const QString &text) const;
    double ascent() const { return m_ascent; }
    double lineHeight() const { return m_lineHeight; }
    // Appends the lines of one paragraph wrapped at whole words inside `width` (no wrapping when
    // negative); a word wider than the width is broken between characters.
    void wrap(const QString &paragraph, double width, QStringList &lines, std::vector<double> &widths) const;
    // The longest beginning of `text` no wider than `width` (never splitting a character in two).
    QString cut(const QString &text, double width) const;
    // How many characters all metrics have handed to the font to measure so far: tests and benchmarks
    // watch the cost of a layout with it.
    static quint64 charactersMeasured();

    explicit TextMetrics(const QFont &font);

private:
    double measure(QStringView text) const;
    QString breakWord(const QString &word, double width, QStringList &lines, std::vector<double> &widths) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    double m_scale; // mm per reference pixel
    double m_ascent;
    double m_lineHeight;
    // Captions and column texts repeat from page to page and report to report.
    mutable QHash<QString, double> m_widths;
    // Widths of the characters of numbers (Latin-1, the minus sign), -1 until measured.
    mutable std::array<double, 0x101> m_charWidths;
};

} // namespace report
