#include "PdfProbe.h"

#include <poppler-qt6.h>

namespace {
constexpr double mmPerPoint = 25.4 / 72.0;
}

PdfProbe::PdfProbe(const QString &path) : m_doc(Poppler::Document::load(path)) {}

PdfProbe::~PdfProbe() = default;

int PdfProbe::pageCount() const
{
    return m_doc ? m_doc->numPages() : 0;
}

QSizeF PdfProbe::pageSize(int page) const
{
    return m_doc->page(page)->pageSizeF() * mmPerPoint;
}

QList<PdfProbe::Word> PdfProbe::words(int page) const
{
    QList<Word> words;
    for (const auto &box : m_doc->page(page)->textList()) {
        const QRectF r = box->boundingBox();
        words.append(Word{box->text(), QRectF(r.topLeft() * mmPerPoint, r.size() * mmPerPoint)});
    }
    return words;
}

QStringList PdfProbe::texts(int page) const
{
    QStringList texts;
    for (const Word &w : words(page))
        texts << w.text;
    return texts;
}

std::optional<PdfProbe::Word> PdfProbe::find(int page, const QString &text) const
{
    for (const Word &w : words(page))
        if (w.text == text)
            return w;
    return std::nullopt;
}

int PdfProbe::count(int page, const QString &text) const
{
    return int(texts(page).count(text));
}

QColor PdfProbe::colourAt(int page, QPointF mm, double dpi) const
{
    while (m_images.size() <= page) {
        m_images.append(QImage());
        m_imageDpi.append(0);
    }
    if (m_imageDpi[page] != dpi) {
        m_images[page] = m_doc->page(page)->renderToImage(dpi, dpi);
        m_imageDpi[page] = dpi;
    }
    const QPoint px(int(mm.x() / 25.4 * dpi), int(mm.y() / 25.4 * dpi));
    return m_images[page].pixelColor(px);
}

QStringList PdfProbe::fonts() const
{
    QStringList fonts;
    for (const Poppler::FontInfo &f : m_doc->fonts())
        fonts << f.name() + (f.isEmbedded() ? QStringLiteral(" (embedded)") : QString());
    return fonts;
}

QList<PdfProbe::Font> PdfProbe::fontDetails() const
{
    QList<Font> fonts;
    for (const Poppler::FontInfo &f : m_doc->fonts())
        fonts.append(Font{f.name(), f.isEmbedded(), f.isSubset(), f.type() == Poppler::FontInfo::CIDTrueType});
    return fonts;
}

QString PdfProbe::title() const
{
    return m_doc->info(QStringLiteral("Title"));
}
