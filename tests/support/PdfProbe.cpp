#include "PdfProbe.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <poppler-qt6.h>

namespace {
constexpr double mmPerPoint = 25.4 / 72.0;
}

// Poppler forgives broken files: every file read here is first checked by qpdf, and a fault fails the
// test that wrote it.
PdfProbe::PdfProbe(const QString &path) : m_doc(Poppler::Document::load(path))
{
    if (!QFileInfo::exists(path))
        return;
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    if (!qpdf.waitForFinished(60000) || qpdf.exitStatus() != QProcess::NormalExit || qpdf.exitCode() != 0) {
        const QString report = QString::fromLocal8Bit(qpdf.readAllStandardOutput() + qpdf.readAllStandardError());
        QTest::qFail(qPrintable(QStringLiteral("qpdf --check %1: %2").arg(path, report.left(2000))), __FILE__,
                     __LINE__);
        m_doc.reset();
    }
}

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

QImage PdfProbe::image(int page, double dpi) const
{
    while (m_images.size() <= page) {
        m_images.append(QImage());
        m_imageDpi.append(0);
    }
    if (m_imageDpi[page] != dpi) {
        m_images[page] = m_doc->page(page)->renderToImage(dpi, dpi);
        m_imageDpi[page] = dpi;
    }
    return m_images[page];
}

QImage PdfProbe::image(int page, double dpi, const QRectF &mm) const
{
    const double px = dpi / 25.4;
    return m_doc->page(page)->renderToImage(dpi, dpi, int(mm.left() * px), int(mm.top() * px), int(mm.width() * px),
                                            int(mm.height() * px));
}

QColor PdfProbe::colourAt(int page, QPointF mm, double dpi) const
{
    const QPoint px(int(mm.x() / 25.4 * dpi), int(mm.y() / 25.4 * dpi));
    return image(page, dpi).pixelColor(px);
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

QString PdfProbe::info(const QString &key) const
{
    return m_doc ? m_doc->info(key) : QString();
}

QDateTime PdfProbe::creationDate() const
{
    return m_doc ? m_doc->date(QStringLiteral("CreationDate")) : QDateTime();
}
