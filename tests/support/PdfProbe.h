#pragma once

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace Poppler {
class Document;
}

// Reads a PDF file back through poppler: words with their boxes and page sizes in millimetres,
// fonts, and pixel colours of a rendered page.
class PdfProbe {
public:
    struct Word {
        QString text;
        QRectF box; // mm from the page's top-left corner
    };

    explicit PdfProbe(const QString &path);
    ~PdfProbe();
    bool isValid() const { return m_doc != nullptr; }
    int pageCount() const;
    QSizeF pageSize(int page) const; // mm
    QList<Word> words(int page) const;
    QStringList texts(int page) const;
    // The first word that equals `text`.
    std::optional<Word> find(int page, const QString &text) const;
    // How often `text` occurs as a word on the page.
    int count(int page, const QString &text) const;
    // The page rendered at `dpi`.
    QImage image(int page, double dpi) const;
    // Part of the page (mm from its top-left corner) rendered at `dpi`.
    QImage image(int page, double dpi, const QRectF &mm) const;
    // The colour at a point (mm) of the page rendered at `dpi`.
    QColor colourAt(int page, QPointF mm, double dpi = 300) const;
    // "Name (embedded)" for every font.
    QStringList fonts() const;
    struct Font {
        QString name;
        bool embedded, subset, cidTrueType;
    };
    QList<Font> fontDetails() const;
    // The document information's title.
    QString title() const;
    // Another entry of the document information ("Producer", "Creator"); the creation date.
    QString info(const QString &key) const;
    QDateTime creationDate() const;

private:
    std::unique_ptr<Poppler::Document> m_doc;
    mutable QList<QImage> m_images;
    mutable QList<double> m_imageDpi;
};
