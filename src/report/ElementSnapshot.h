#pragma once

#include "PageFlow.h"
#include "Report.h"

#include <optional>
#include <vector>

// What a band and its elements look like once their texts are known: the drawing of each element, its
// text measured, wrapped, shrunk or cut to its box, in millimetres from the band's top-left corner.
namespace report {

// Appends the drawing of a text element and returns how much it grew beyond its stored height. A text
// that must fit and does not even in the smallest size throws Error.
double snapshotText(const Report &report, const Band &band, const TextElement &element, int pageNumber,
                    std::vector<DrawItem> &items);
void snapshotShape(const Shape &shape, std::vector<DrawItem> &items);

// The band `width` wide as printed on page `pageNumber`, after its beforePrint event; nothing when it is
// disabled or the event suppresses it.
std::optional<PlacedBand> snapshotBand(const Report &report, Band &band, double width, int pageNumber);

// The band's height and its lines of text, for the page flow.
FlowBand flowBand(const PlacedBand &band);
// Cuts a band at `cut` (a cut point of the page flow): `band` keeps what lies above, the returned rest
// what lies below, moved up. Lines of text go whole to one side; a rectangle across the cut to both.
PlacedBand cutBand(PlacedBand &band, double cut);
// Moves a band with its items from the paper's top-left corner to its place.
void moveBand(PlacedBand &band, double left, double top);

} // namespace report
