#include "PdfWriter.h"

#include "FontRegistry.h"
#include "PdfDocument.h"

#include <QIODevice>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace report {

QString writeFully(QIODevice &device, const char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 written = device.write(data + done, size - done);
        if (written <= 0) {
            const int error = errno;
            const QString reason = device.errorString();
            if (error != 0 && (reason.isEmpty() || reason == QLatin1String("Unknown error")))
                return QString::fromLocal8Bit(std::strerror(error));
            return reason;
        }
        done += written;
    }
    return QString();
}

QByteArray pdfDocument(const std::vector<Page> &pages, const QString &title)
{
    const std::lock_guard lock(FontRegistry::mutex());
    PdfDocument document(nullptr);
    document.start(title);
    for (const Page &page : pages)
        document.addPage(page);
    document.finish();
    return document.error().isEmpty() ? document.takeData() : QByteArray();
}

struct PdfStream::Private {
    explicit Private(QIODevice &device) : document(&device) {}
    PdfDocument document;
};

PdfStream::PdfStream(QIODevice &device, const QString &title) : d(std::make_unique<Private>(device))
{
    const std::lock_guard lock(FontRegistry::mutex());
    d->document.start(title);
}

PdfStream::~PdfStream() = default;

void PdfStream::addPage(const Page &page)
{
    const std::lock_guard lock(FontRegistry::mutex());
    d->document.addPage(page);
}

QString PdfStream::finish()
{
    const std::lock_guard lock(FontRegistry::mutex());
    d->document.finish();
    return d->document.error();
}

QString PdfStream::error() const
{
    return d->document.error();
}

} // namespace report
