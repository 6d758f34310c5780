#include "ConnectionDescription.h"

#include "Errors.h"
#include "Files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Connection", text);
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// "key=value" pairs separated by ';' or line breaks. In a data link file a line whose first character is
// ';' or '[' is a comment. A value that starts with a quote runs to the closing quote (doubled inside it)
// and may hold anything. The readers return why the text cannot be used, or an empty text.
class PairReader {
public:
    PairReader(const QString &text, bool dataLink) : m_text(text), m_dataLink(dataLink) {}

    QString read(ConnectionDescription &d)
    {
        while (toNextKey()) {
            QString written, value;
            if (QString problem = readKey(written); !problem.isEmpty())
                return problem;
            if (QString problem = startsQuote() ? readQuotedValue(written, value) : readPlainValue(value);
                !problem.isEmpty())
                return problem;
            if (QString problem = assign(d, written.toLower(), value); !problem.isEmpty())
                return problem;
        }
        return QString();
    }

private:
    bool atEnd() const { return m_at >= m_text.size(); }
    QChar current() const { return m_text.at(m_at); }
    bool startsQuote() const { return !atEnd() && (current() == QLatin1Char('"') || current() == QLatin1Char('\'')); }
    bool endsValue() const { return current() == QLatin1Char(';') || isLineBreak(current()); }

    void skipBlanks()
    {
        while (!atEnd() && isBlank(current()))
            ++m_at;
    }

    // Past blanks, line breaks, separators and comment lines to where a key starts; false at the end.
    bool toNextKey()
    {
        while (!atEnd()) {
            const QChar c = current();
            if (isLineBreak(c)) {
                m_lineStart = true;
                ++m_at;
            } else if (isBlank(c)) {
                ++m_at;
            } else if (m_dataLink && m_lineStart && (c == QLatin1Char(';') || c == QLatin1Char('['))) {
                while (!atEnd() && !isLineBreak(current()))
                    ++m_at;
            } else {
                m_lineStart = false;
                if (c != QLatin1Char(';'))
                    return true;
                ++m_at;
            }
        }
        return false;
    }

    // The key as written, then past the '=' and the blanks after it.
    QString readKey(QString &written)
    {
        const qsizetype start = m_at;
        while (!atEnd() && current() != QLatin1Char('=') && !endsValue())
            ++m_at;
        written = m_text.mid(start, m_at - start).trimmed();
        if (atEnd() || current() != QLatin1Char('='))
            return QCoreApplication::translate("Connection", "\"%1\" is no key=value pair").arg(written.left(80));
        ++m_at;
        skipBlanks();
        return QString();
    }

    QString readQuotedValue(const QString &written, QString &value)
    {
        const QChar quote = m_text.at(m_at++);
        bool closed = false;
        while (!atEnd()) {
            if (current() == quote) {
                if (m_at + 1 < m_text.size() && m_text.at(m_at + 1) == quote) {
                    value += quote;
                    m_at += 2;
                    continue;
                }
                ++m_at;
                closed = true;
                break;
            }
            value += m_text.at(m_at++);
        }
        if (!closed)
            return QCoreApplication::translate("Connection", "the value of %1 has no closing quote").arg(written);
        skipBlanks();
        if (!atEnd() && !endsValue())
            return QCoreApplication::translate("Connection", "the value of %1 goes on after its closing quote")
                .arg(written);
        return QString();
    }

    QString readPlainValue(QString &value)
    {
        const qsizetype start = m_at;
        while (!atEnd() && !endsValue())
            ++m_at;
        value = m_text.mid(start, m_at - start).trimmed();
        return QString();
    }

    // Keys the program does not know are passed over.
    static QString assign(ConnectionDescription &d, const QString &key, const QString &value)
    {
        if (key == QLatin1String("driver") || key == QLatin1String("provider")) {
            d.driver = value;
        } else if (key == QLatin1String("database") || key == QLatin1String("data source")) {
            d.database = value;
        } else if (key == QLatin1String("host")) {
            d.host = value;
        } else if (key == QLatin1String("port")) {
            bool ok = false;
            d.port = value.toInt(&ok);
            if (!ok || d.port <= 0 || d.port > 65535)
                return QCoreApplication::translate("Connection", "\"%1\" is no port number").arg(value.left(80));
        } else if (key == QLatin1String("user") || key == QLatin1String("user id")) {
            d.user = value;
        } else if (key == QLatin1String("password")) {
            d.password = value;
        } else if (key == QLatin1String("options")) {
            d.options = value;
        }
        return QString();
    }

    const QString &m_text;
    const bool m_dataLink;
    qsizetype m_at = 0;
    bool m_lineStart = true;
};

QString readPairs(const QString &text, bool dataLink, ConnectionDescription &d)
{
    return PairReader(text, dataLink).read(d);
}

// A relative SQLite path is taken from the folder given.
void resolveDatabase(ConnectionDescription &d, const QString &baseFolder)
{
    if (d.driver.compare(QLatin1String("QSQLITE"), Qt::CaseInsensitive) == 0 && !d.database.isEmpty() &&
        QFileInfo(d.database).isRelative() && !baseFolder.isEmpty())
        d.database = QFileInfo(baseFolder + QLatin1Char('/') + d.database).absoluteFilePath();
}

} // namespace

ConnectionDescription ConnectionDescription::sqliteFile(const QString &path)
{
    ConnectionDescription d;
    d.driver = QStringLiteral("QSQLITE");
    d.database = path;
    return d;
}

ConnectionDescription ConnectionDescription::fromDataLinkText(const QByteArray &text, const QString &name,
                                                              const QString &baseFolder)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(text);
    if (text.contains('\0') || decoder.hasError())
        throw Error(tr("The data link file %1 is not a text file").arg(name));
    ConnectionDescription d;
    if (const QString problem = readPairs(decoded, true, d); !problem.isEmpty())
        throw Error(tr("The data link file %1 cannot be used: %2").arg(name, problem));
    if (d.driver.isEmpty() && d.database.isEmpty())
        throw Error(tr("The data link file %1 holds no connection description").arg(name));
    if (d.driver.isEmpty())
        throw Error(tr("The data link file %1 names no driver").arg(name));
    if (d.database.isEmpty())
        throw Error(tr("The data link file %1 names no database").arg(name));
    resolveDatabase(d, baseFolder);
    return d;
}

// Opened without waiting (a named pipe would block the start until someone writes to it), then only
// read when it is a regular file.
ConnectionDescription ConnectionDescription::fromDataLinkFile(const QString &path)
{
    constexpr qint64 MaxSize = 64 * 1024;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw Error(tr("The data link file %1 cannot be read: %2").arg(path, systemReason(errno)));
    QByteArray bytes;
    QString problem;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        problem = tr("The data link file %1 cannot be read: %2").arg(path, systemReason(errno));
    } else if (S_ISDIR(info.st_mode)) {
        problem = tr("The data link file %1 is a folder, not a file").arg(path);
    } else if (!S_ISREG(info.st_mode)) {
        problem = tr("The data link file %1 is not a regular file").arg(path);
    } else if (info.st_size > MaxSize) {
        problem = tr("The data link file %1 is too large to be one").arg(path);
    } else {
        bytes.resize(qsizetype(info.st_size));
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                problem = tr("The data link file %1 cannot be read: %2").arg(path, systemReason(errno));
                break;
            }
            if (got == 0)
                break;
            done += got;
        }
        bytes.truncate(done);
    }
    ::close(fd);
    if (!problem.isEmpty())
        throw Error(problem);
    return fromDataLinkText(bytes, path, QFileInfo(path).absolutePath());
}

ConnectionDescription ConnectionDescription::fromConnectionString(const QString &text)
{
    static const QLatin1String fileName("FILE NAME=");
    if (text.startsWith(fileName, Qt::CaseInsensitive))
        return fromDataLinkFile(text.mid(fileName.size()).trimmed());
    ConnectionDescription d;
    if (const QString problem = readPairs(text, false, d); !problem.isEmpty())
        throw Error(tr("The connection description cannot be used: %1").arg(problem));
    if (d.driver.isEmpty())
        throw Error(tr("The connection description names no driver"));
    if (d.database.isEmpty())
        throw Error(tr("The connection description names no database"));
    return d;
}
} // namespace db
