#include "Render.h"

#include "PdfWriter.h"
#include "core/Errors.h"
#include "core/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace report {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Report", text);
}

} // namespace

void paintPage(QPainter &painter, const Page &page, bool bandColours)
{
    const QPaintDevice *device = painter.device();
    const double sx = device->logicalDpiX() / 25.4;
    const double sy = device->logicalDpiY() / 25.4;
    const auto map = [&](const QRectF &r) {
        return QRectF(r.left() * sx, r.top() * sy, r.width() * sx, r.height() * sy);
    };
    // Lines of mixed scripts are ordered left to right, as the PDF writer orders them.
    painter.setLayoutDirection(Qt::LeftToRight);

    for (const PlacedBand &band : page.bands) {
        if (bandColours && band.color != QColor(Qt::white))
            painter.fillRect(map(band.rect), band.color);
        for (const DrawItem &item : band.items) {
            switch (item.kind) {
            case DrawItem::Kind::Rect:
                if (item.outline) {
                    QPen pen(item.penColor, item.penWidth * sx);
                    pen.setJoinStyle(Qt::MiterJoin);
                    painter.setPen(pen);
                    painter.setBrush(item.filled ? QBrush(item.brushColor) : QBrush());
                    painter.drawRect(map(item.rect));
                } else if (item.filled) {
                    painter.fillRect(map(item.rect), item.brushColor);
                }
                break;
            case DrawItem::Kind::Line:
                painter.setPen(QPen(item.penColor, item.penWidth * sx, Qt::SolidLine, Qt::FlatCap));
                painter.drawLine(QPointF(item.rect.left() * sx, item.rect.top() * sy),
                                 QPointF(item.rect.right() * sx, item.rect.bottom() * sy));
                break;
            case DrawItem::Kind::Text:
                painter.setFont(item.font);
                painter.setPen(item.textColor);
                for (qsizetype i = 0; i < item.lines.size(); ++i) {
                    const double baseline = item.rect.top() + double(i) * item.lineHeight + item.ascent;
                    painter.drawText(QPointF(item.lineLefts[size_t(i)] * sx, baseline * sy), item.lines[i]);
                }
                break;
            }
        }
    }
}

QImage pageImage(const Page &page, double dpi)
{
    QImage image(int(std::ceil(page.paper.width() * dpi / 25.4)), int(std::ceil(page.paper.height() * dpi / 25.4)),
                 QImage::Format_RGB32);
    const int dpm = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintPage(painter, page, true);
    return image;
}

OutputFile::OutputFile(const QString &path, const QString &errorText) : m_path(path), m_errorText(errorText)
{
    checkTarget();
    const QFileInfo target(path);
    static std::atomic<int> serial{0};
    // A short name of its own: a target's name may already be as long as the file system allows.
    const QString partPath =
        target.absolutePath() +
        QStringLiteral("/.tessund-%1-%2.part").arg(QCoreApplication::applicationPid()).arg(serial++);
    m_part = std::make_unique<QFile>(partPath);
    // Unbuffered: every write reaches the system at once, and its failure comes back with its reason. A new
    // file is for its owner's eyes only.
    if (!m_part->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                      QFile::ReadOwner | QFile::WriteOwner))
        throw Error(m_errorText.arg(QDir::toNativeSeparators(m_path), m_part->errorString()));
}

OutputFile::~OutputFile()
{
    if (!m_committed) {
        m_part->close();
        m_part->remove();
    }
}

// Only a regular file the user may change is replaced: never what a symbolic link points at (or the link),
// a device, a folder or a file marked read-only. Returns the mode of the file it replaces, or -1 when the
// name is free.
int OutputFile::checkTarget()
{
    const QString folder = QFileInfo(m_path).absolutePath();
    if (const QString reason = whyReadOnly(folder); !reason.isEmpty() && QFileInfo(folder).isDir())
        throw Error(m_errorText.arg(QDir::toNativeSeparators(m_path), tr("the folder is read-only (%1)").arg(reason)));
    struct stat info {};
    if (::lstat(QFile::encodeName(m_path).constData(), &info) != 0) {
        if (errno == ENOENT)
            return -1;
        throw Error(m_errorText.arg(QDir::toNativeSeparators(m_path), systemReason(errno)));
    }
    QString reason;
    if (S_ISLNK(info.st_mode))
        reason = tr("it is a symbolic link, not a file");
    else if (S_ISDIR(info.st_mode))
        reason = tr("it is a folder");
    else if (!S_ISREG(info.st_mode))
        reason = tr("it is not a regular file");
    else if (const QString why = whyReadOnly(m_path); !why.isEmpty())
        reason = tr("the file is read-only (%1)").arg(why);
    if (!reason.isEmpty())
        throw Error(m_errorText.arg(QDir::toNativeSeparators(m_path), reason));
    return int(info.st_mode & 0777);
}

void OutputFile::fail(const QString &reason)
{
    m_part->close();
    m_part->remove();
    m_committed = true; // nothing left to clean up
    throw Error(m_errorText.arg(QDir::toNativeSeparators(m_path), reason));
}

// Not synced to disk first: batch exports write a thousand files a second, and one lost in a power cut
// is exported again. The target is looked at again: it may have changed while the pages were written. A
// file replaced keeps its permissions.
void OutputFile::commitPart()
{
    if (!m_part->flush())
        fail(m_part->errorString());
    int mode = -1;
    try {
        mode = checkTarget();
    } catch (const Error &) {
        m_part->close();
        m_part->remove();
        m_committed = true;
        throw;
    }
    if (mode >= 0 && ::fchmod(m_part->handle(), mode_t(mode)) != 0)
        fail(systemReason(errno));
    m_part->close();
    if (std::rename(QFile::encodeName(m_part->fileName()).constData(), QFile::encodeName(m_path).constData()) != 0)
        fail(systemReason(errno));
    m_committed = true;
}

PdfFile::PdfFile(const QString &path, const QString &title)
    : OutputFile(path, tr("Cannot write the PDF file \"%1\": %2")), m_stream(std::make_unique<PdfStream>(part(), title))
{
}

PdfFile::~PdfFile() = default;

void PdfFile::write(const Page &page)
{
    m_stream->addPage(page);
    if (!m_stream->error().isEmpty())
        fail(m_stream->error());
}

void PdfFile::commit()
{
    const QString error = m_stream->finish();
    if (!error.isEmpty())
        fail(error);
    commitPart();
}

void writePdf(const std::vector<Page> &pages, const QString &path, const QString &title)
{
    PdfFile file(path, title);
    for (const Page &page : pages)
        file.write(page);
    file.commit();
}

} // namespace report
