#pragma once

#include "report/Report.h"

#include <QRgb>

#include <span>

// A report's bands and their elements as tables: one row per band, one per element in the order they
// are painted, in millimetres from the band's top-left corner. buildLayout makes the report's bands and
// elements from them.
namespace layout {

// What an element is.
enum class Kind {
    Label,
    Memo,
    Title,       // the report's title (SysData)
    PageNumber,  // SysData
    PageOfPages, // SysData, `text` its prefix
    Field,       // a dataset field (DBText), `text` its field, none: the field of its name
    Box,         // a rectangle
    VerticalLine,
};

// A font of the report; no family: the band's, else the report's.
struct Font {
    const char *family = nullptr;
    double size = 0;
    bool bold = false;
};

constexpr Font arial(double size, bool bold = false)
{
    return {"Arial", size, bold};
}

constexpr Font courier(double size)
{
    return {"Courier New", size};
}

// Flags of an element.
enum Flag : unsigned {
    // Printed on blank paper only: the pre-printed stationery carries it (tag backgroundTag).
    Background = 1u << 0,
    // Text
    AutoSize = 1u << 1,
    Transparent = 1u << 2,
    Stretch = 1u << 3, // autoStretch
    NoWrap = 1u << 4,
    Shrink = 1u << 5, // shrinkToFit
    MustFit = 1u << 6,
    KeepLastLine = 1u << 7,
    CutOff = 1u << 8,
    // Shapes: the outline is drawn; the pen or the fill in the layout's tint rather than black or white;
    // a pen of 2 pixels.
    Outline = 1u << 9,
    TintPen = 1u << 10,
    TintFill = 1u << 11,
    ThickPen = 1u << 12,
};

// The tag of the Background elements.
constexpr int backgroundTag = 100;

struct Element {
    const char *name;
    Kind kind;
    double left, top, width, height;
    Font font = {};
    report::Alignment alignment = report::Alignment::Left;
    unsigned flags = 0;
    // A label's caption (translated in the layout's context when it has one), a prefix or a field.
    const char *text = nullptr;
    int frameSides = 0;
};

// Flags of a band.
enum BandFlag : unsigned {
    Tinted = 1u << 0, // coloured in the layout's tint
    KeepTogether = 1u << 1,
};

struct Band {
    const char *name;
    // Child: the child of the band in the row before it.
    report::BandType type;
    double height;
    std::span<const Element> elements;
    unsigned flags = 0;
    int frameSides = 0;
    Font font = {};
};

struct Layout {
    std::span<const Band> bands;
    // The context the captions translate in; none: they print as written.
    const char *trContext = nullptr;
    QRgb tint = qRgb(255, 255, 255);
};

// Adds the layout's bands with their elements to `report`. A field reads its band's dataset, else the
// report's; a sub-detail band reads `subDetailData`.
void buildLayout(report::Report &report, const Layout &layout, db::DataSet *subDetailData = nullptr);

} // namespace layout
