#include "LanguageModule.h"

#include <QtEndian>

#include <cstring>
#include <optional>

namespace {

// The layout of a compiled translation: a 16-byte signature, then blocks of a tag byte, a 32-bit big-endian
// length and the data. A message is a list of fields, each a tag byte and (but for the end) its data.
constexpr unsigned char Signature[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                         0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
enum Block : unsigned char {
    Contexts = 0x2f,
    Hashes = 0x42,
    Messages = 0x69,
    NumerusRules = 0x88,
    Dependencies = 0x96,
    Language = 0xa7
};
enum Field : unsigned char { End = 1, Translation = 3, Obsolete1 = 5, SourceText = 6, Context = 7, Comment = 8 };

struct Span {
    const unsigned char *data = nullptr;
    quint32 size = 0;
};

quint32 read32(const unsigned char *p)
{
    return qFromBigEndian<quint32>(p);
}

quint16 read16(const unsigned char *p)
{
    return qFromBigEndian<quint16>(p);
}

// The message at `offset` must end inside the block, every field's data with it.
QString messageProblem(const Span &messages, quint32 offset)
{
    if (offset >= messages.size)
        return QStringLiteral("a message lies outside the file");
    quint32 at = offset;
    for (;;) {
        if (at >= messages.size)
            return QStringLiteral("a message runs past the end of the file");
        const unsigned char field = messages.data[at++];
        switch (field) {
        case End:
            return QString();
        case Obsolete1:
            if (messages.size - at < 4)
                return QStringLiteral("a message runs past the end of the file");
            at += 4;
            break;
        case Translation:
        case SourceText:
        case Context:
        case Comment: {
            if (messages.size - at < 4)
                return QStringLiteral("a message runs past the end of the file");
            const quint32 length = read32(messages.data + at);
            at += 4;
            if (length > messages.size - at)
                return QStringLiteral("a text of a message runs past the end of the file");
            if (field == Translation && length % 2 != 0)
                return QStringLiteral("a translation has an odd length");
            // The translator looks at a comment's first byte even when it is empty.
            if (field == Comment && at >= messages.size)
                return QStringLiteral("a message runs past the end of the file");
            at += length;
            break;
        }
        default:
            return QStringLiteral("a message holds an unknown field");
        }
    }
}

// A table of 16-bit offsets to chains of length-prefixed names, each chain ended by a zero length.
QString contextsProblem(const Span &contexts)
{
    if (contexts.size < 2)
        return QStringLiteral("the context table is cut short");
    const quint32 tableSize = read16(contexts.data);
    if (tableSize == 0)
        return QStringLiteral("the context table is empty");
    const quint32 chains = 2 + 2 * tableSize;
    if (chains > contexts.size)
        return QStringLiteral("the context table is cut short");
    for (quint32 bucket = 0; bucket < tableSize; ++bucket) {
        const quint32 offset = read16(contexts.data + 2 + 2 * bucket);
        if (offset == 0)
            continue;
        quint32 at = chains + 2 * offset;
        for (;;) {
            if (at >= contexts.size)
                return QStringLiteral("a context lies outside the file");
            const quint32 length = contexts.data[at++];
            if (length == 0)
                break;
            if (length > contexts.size - at)
                return QStringLiteral("a context lies outside the file");
            at += length;
        }
    }
    return QString();
}

} // namespace

QString languageModuleProblem(const QByteArray &module)
{
    const auto *data = reinterpret_cast<const unsigned char *>(module.constData());
    const quint32 size = quint32(qMin<qsizetype>(module.size(), 0x7fffffff));
    if (size < sizeof(Signature) || std::memcmp(data, Signature, sizeof(Signature)) != 0)
        return QStringLiteral("it is not a compiled translation");

    std::optional<Span> contexts, hashes, messages;
    quint32 at = sizeof(Signature);
    // Read as the translator reads them: a zero tag or length ends the blocks.
    while (size - at > 5) {
        const unsigned char tag = data[at];
        const quint32 length = read32(data + at + 1);
        at += 5;
        if (tag == 0 || length == 0)
            break;
        if (length > size - at)
            return QStringLiteral("a block runs past the end of the file");
        const Span span{data + at, length};
        std::optional<Span> *slot = nullptr;
        switch (tag) {
        case Contexts:
            slot = &contexts;
            break;
        case Hashes:
            slot = &hashes;
            break;
        case Messages:
            slot = &messages;
            break;
        case NumerusRules: // checked by the translator itself
        case Language:
            break;
        case Dependencies:
            return QStringLiteral("it depends on other modules");
        default:
            return QStringLiteral("it holds a block of an unknown kind");
        }
        if (slot) {
            if (slot->has_value())
                return QStringLiteral("it holds a block twice");
            *slot = span;
        }
        at += length;
    }

    if (contexts)
        if (const QString problem = contextsProblem(*contexts); !problem.isEmpty())
            return problem;
    if (hashes) {
        if (hashes->size % 8 != 0)
            return QStringLiteral("the hash table is cut short");
        if (!messages)
            return QStringLiteral("the messages are missing");
        for (quint32 entry = 0; entry < hashes->size; entry += 8)
            if (const QString problem = messageProblem(*messages, read32(hashes->data + entry + 4)); !problem.isEmpty())
                return problem;
    }
    return QString();
}
