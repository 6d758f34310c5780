#pragma once

#include <mutex>

class QFont;
class QRawFont;

namespace report {

class FontFace;

// The faces met so far, by the fonts that resolve to them: each typeface is read from its font file once
// per process and kept, with the subsets made of it, until the process ends. Documents may be written on
// several threads: whoever uses the registry or a face of it holds mutex().
class FontRegistry {
public:
    static std::mutex &mutex();
    // The face a report font prints in. A face that cannot be embedded (bitmaps, Type 1 outlines) gives
    // the program's sans-serif face instead, so that the text stays text.
    static FontFace *faceFor(const QFont &font);
    // The face of a resolved font (as the text shaper hands it out); it may be one that cannot be embedded.
    static FontFace *faceForRaw(const QRawFont &raw);
};

} // namespace report
