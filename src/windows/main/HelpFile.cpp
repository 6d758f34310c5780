#include "HelpFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QtEndian>

#include <chm_lib.h>

namespace {

quint32 u32At(const QByteArray &data, qsizetype at)
{
    return at + 4 <= data.size() ? qFromLittleEndian<quint32>(data.constData() + at) : 0;
}

quint16 u16At(const QByteArray &data, qsizetype at)
{
    return at + 2 <= data.size() ? qFromLittleEndian<quint16>(data.constData() + at) : 0;
}

QString cString(const QByteArray &data, qsizetype at)
{
    if (at < 0 || at >= data.size())
        return QString();
    const qsizetype end = data.indexOf('\0', at);
    return QString::fromUtf8(data.mid(at, (end < 0 ? data.size() : end) - at));
}

QString decodeEntities(QString text)
{
    static const QRegularExpression numeric(QStringLiteral("&#(\\d+);"));
    for (auto m = numeric.match(text); m.hasMatch(); m = numeric.match(text))
        text.replace(m.capturedStart(), m.capturedLength(), QChar(char16_t(m.captured(1).toUInt())));
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

QString objectPath(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

} // namespace

HelpFile::HelpFile(const QString &path) : m_path(path)
{
    if (!QFile::exists(path))
        return;
    m_file = chm_open(QFile::encodeName(path).constData());
    if (!m_file)
        return;

    // #SYSTEM: a version, then records of a code, a length and the data.
    const QByteArray system = read(QStringLiteral("/#SYSTEM"));
    for (qsizetype at = 4; at + 4 <= system.size();) {
        const quint16 code = u16At(system, at), length = u16At(system, at + 2);
        const QString text = cString(system.mid(at + 4, length), 0);
        switch (code) {
        case 0:
            m_contentsFile = objectPath(text);
            break;
        case 1:
            m_indexFile = objectPath(text);
            break;
        case 2:
            m_defaultTopic = objectPath(text);
            break;
        case 3:
            m_title = text;
            break;
        }
        at += 4 + length;
    }
    if (m_defaultTopic.isEmpty() || !contains(m_defaultTopic))
        m_defaultTopic = QStringLiteral("/index.htm");

    // #IVB: the context map, pairs of a number and the offset of its page's name in #STRINGS.
    const QByteArray map = read(QStringLiteral("/#IVB"));
    const QByteArray strings = read(QStringLiteral("/#STRINGS"));
    const qsizetype size = std::min<qsizetype>(u32At(map, 0), map.size() - 4);
    for (qsizetype at = 4; at + 8 <= 4 + size; at += 8) {
        const int context = int(u32At(map, at));
        const QString page = resolve(cString(strings, qsizetype(u32At(map, at + 4))));
        if (!page.isEmpty())
            m_contexts.append({context, page});
    }
}

HelpFile::~HelpFile()
{
    if (m_file)
        chm_close(m_file);
}

bool HelpFile::contains(const QString &path) const
{
    chmUnitInfo info{};
    return m_file &&
           chm_resolve_object(m_file, QFile::encodeName(objectPath(path)).constData(), &info) == CHM_RESOLVE_SUCCESS;
}

QByteArray HelpFile::read(const QString &path) const
{
    chmUnitInfo info{};
    if (!m_file ||
        chm_resolve_object(m_file, QFile::encodeName(objectPath(path)).constData(), &info) != CHM_RESOLVE_SUCCESS)
        return QByteArray();
    QByteArray data(qsizetype(info.length), Qt::Uninitialized);
    const LONGINT64 got =
        chm_retrieve_object(m_file, &info, reinterpret_cast<unsigned char *>(data.data()), 0, LONGINT64(info.length));
    data.truncate(qsizetype(std::max<LONGINT64>(0, got)));
    return data;
}

// A compiler may record a page under the full path of the folder it compiled in: the page is the part of
// that path the file holds.
QString HelpFile::resolve(const QString &path) const
{
    QString candidate = objectPath(path);
    while (!candidate.isEmpty()) {
        if (contains(candidate))
            return candidate;
        const qsizetype slash = candidate.indexOf(QLatin1Char('/'), 1);
        if (slash < 0)
            break;
        candidate = candidate.mid(slash);
    }
    return QString();
}

QString HelpFile::pageOfContext(int context) const
{
    for (const auto &[number, page] : m_contexts)
        if (number == context)
            return page;
    return QString();
}

QList<int> HelpFile::contexts() const
{
    QList<int> numbers;
    for (const auto &entry : m_contexts)
        numbers << entry.first;
    return numbers;
}

QList<HelpFile::Entry> HelpFile::contents() const
{
    return sitemap(m_contentsFile);
}

QList<HelpFile::Entry> HelpFile::index() const
{
    return sitemap(m_indexFile);
}

// A sitemap is HTML: nested lists of objects, each with a Name and a Local parameter.
QList<HelpFile::Entry> HelpFile::sitemap(const QString &path) const
{
    QList<Entry> entries;
    if (path.isEmpty())
        return entries;
    const QString text = QString::fromUtf8(read(path));
    static const QRegularExpression tag(QStringLiteral("<(/?)(ul|object|param)\\b([^>]*)>"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(QStringLiteral("(name|value)\\s*=\\s*\"([^\"]*)\""),
                                              QRegularExpression::CaseInsensitiveOption);
    int depth = 0;
    Entry current;
    bool inObject = false;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        if (name == QLatin1String("ul")) {
            depth += closing ? -1 : 1;
        } else if (name == QLatin1String("object")) {
            if (!closing) {
                inObject = true;
                current = Entry{QString(), QString(), std::max(0, depth - 1)};
            } else if (inObject) {
                inObject = false;
                // An index keyword with several pages names each page after a Name of its own: the
                // keyword is the first Name.
                if (!current.name.isEmpty())
                    entries << current;
            }
        } else if (inObject && name == QLatin1String("param")) {
            QString key, value;
            for (auto a = attribute.globalMatch(m.captured(3)); a.hasNext();) {
                const auto pair = a.next();
                (pair.captured(1).toLower() == QLatin1String("name") ? key : value) = pair.captured(2);
            }
            key = key.toLower();
            if (key == QLatin1String("name") && current.name.isEmpty()) {
                current.name = decodeEntities(value);
            } else if (key == QLatin1String("local") && current.page.isEmpty()) {
                const qsizetype hash = value.indexOf(QLatin1Char('#'));
                current.page = resolve(hash < 0 ? value : value.left(hash));
                if (hash >= 0 && !current.page.isEmpty())
                    current.page += value.mid(hash);
            }
        }
    }
    return entries;
}
