#include "FontRegistry.h"

#include "FontFace.h"

#include <QFont>
#include <QRawFont>

#include <memory>
#include <utility>
#include <vector>

namespace report {

std::mutex &FontRegistry::mutex()
{
    static std::mutex facesMutex;
    return facesMutex;
}

FontFace *FontRegistry::faceForRaw(const QRawFont &raw)
{
    struct Recent {
        QRawFont raw;
        FontFace *face;
    };
    static std::vector<Recent> recent; // the same few fonts come back run after run
    for (const Recent &r : recent)
        if (r.raw == raw)
            return r.face;
    static std::vector<std::pair<QString, std::unique_ptr<FontFace>>> faces;
    const QString key = raw.familyName() + QLatin1Char('|') + raw.styleName() + QLatin1Char('|') +
                        QString::number(raw.weight()) + QLatin1Char('|') + QString::number(int(raw.style()));
    FontFace *face = nullptr;
    for (const auto &[k, f] : faces)
        if (k == key)
            face = f.get();
    if (!face) {
        faces.emplace_back(key, std::make_unique<FontFace>(raw));
        face = faces.back().second.get();
    }
    if (recent.size() >= 32)
        recent.erase(recent.begin());
    recent.push_back({raw, face});
    return face;
}

FontFace *FontRegistry::faceFor(const QFont &font)
{
    struct FontEntry {
        QFont font;
        FontFace *face;
    };
    static std::vector<FontEntry> fonts;
    for (const FontEntry &e : fonts) // copies of one font first: the usual case, and quick to tell
        if (e.font.isCopyOf(font))
            return e.face;
    for (const FontEntry &e : fonts)
        if (e.font == font)
            return e.face;
    FontFace *face = faceForRaw(QRawFont::fromFont(font));
    if (!face->isValid() && font.family() != QLatin1String("Liberation Sans")) {
        QFont sans = font;
        sans.setFamily(QStringLiteral("Liberation Sans"));
        face = faceFor(sans);
    }
    fonts.push_back({font, face});
    return face;
}

} // namespace report
