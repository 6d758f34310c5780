#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace db {
class DataSet;
}

// A banded report: bands laid out on pages in millimetres, painted to a printer, a PDF file, page images
// for the preview window, or an RTF document.
namespace report {

// Screen pixels count 96 per inch; run-time geometry is often computed in them.
constexpr double mmPerPixel = 25.4 / 96.0;
inline double pxToMm(double px)
{
    return px * mmPerPixel;
}

enum class Alignment { Left, Right, Center };
enum Side { SideTop = 1, SideBottom = 2, SideLeft = 4, SideRight = 8, SideAll = 15 };

class Band;
class Report;
struct Page;

// Anything placed on a band, positioned in millimetres from the band's top-left corner.
class Element {
public:
    enum class Kind { Label, Memo, SysData, DBText, Shape };
    Element(Kind kind, QString name) : m_kind(kind), m_name(std::move(name)) {}
    virtual ~Element() = default;

    Kind kind() const { return m_kind; }
    const QString &name() const { return m_name; }

    double left = 0, top = 0, width = 0, height = 0;
    int tag = 0;
    bool enabled = true;
    // Lines along the sides of the element's box, 1 pixel, black.
    int frameSides = 0;

    QRectF rect() const { return QRectF(left, top, width, height); }
    void setGeometry(double l, double t, double w, double h)
    {
        left = l;
        top = t;
        width = w;
        height = h;
    }

private:
    Kind m_kind;
    QString m_name;
};

// An element showing text: labels, memos, system fields and data fields.
class TextElement : public Element {
public:
    using Element::Element;

    // Unset: the band's font, else the report's.
    std::optional<QFont> font;
    Alignment alignment = Alignment::Left;
    // The width follows the text, keeping the left edge (left-justified) or the right edge (right-justified).
    bool autoSize = false;
    bool wordWrap = true;
    // Text wider than the box is cut off at its edge rather than wrapped or printed beyond it (for
    // columns of a list, whose neighbour starts there).
    bool cutOff = false;
    // Text that does not fit the box is set in a smaller size that fits (not below 6 pt): a line without
    // wrapping its width, wrapped lines the box's height. What 6 pt cannot hold is cut off, or dropped a
    // line at a time; with mustFit the generation fails instead (an amount is never printed in part).
    bool shrinkToFit = false;
    bool mustFit = false;
    // When lines must be dropped, the last one stays (the postcode line of an address).
    bool keepLastLine = false;
    // Grows downward to show every wrapped line and makes its band taller.
    bool autoStretch = false;
    // Transparent: nothing painted behind the text; otherwise a rectangle of `color`.
    bool transparent = false;
    QColor color = Qt::white;
    QColor textColor = Qt::black;

    // The text as printed on page `pageNumber` (1-based) of `report`.
    virtual QString text(const Report &report, int pageNumber) const = 0;
};

class Label : public TextElement {
public:
    explicit Label(QString name) : TextElement(Kind::Label, std::move(name)) {}
    QString caption;
    QString text(const Report &, int) const override { return caption; }
};

// Several lines, each wrapped inside the memo's width; the memo keeps its size.
class Memo : public TextElement {
public:
    explicit Memo(QString name) : TextElement(Kind::Memo, std::move(name)) {}
    QStringList lines;
    QString text(const Report &, int) const override { return lines.join(QLatin1Char('\n')); }
};

class SysData : public TextElement {
public:
    // PageOfPages: `prefix` with the page number as %1 and the number of pages as %2 ("Side %1 av %2"),
    // empty on a document of one page. It makes a generation lay the document out twice.
    enum class Data { ReportTitle, PageNumber, PageOfPages };
    SysData(QString name, Data data) : TextElement(Kind::SysData, std::move(name)), data(data) {}
    Data data;
    QString prefix; // printed before the value ("Side ")
    QString text(const Report &report, int pageNumber) const override;
};

// The display text of one field of a dataset at its current row; empty when the dataset has no rows.
class DBText : public TextElement {
public:
    DBText(QString name, db::DataSet *dataSet, QString fieldName)
        : TextElement(Kind::DBText, std::move(name)), dataSet(dataSet), fieldName(std::move(fieldName))
    {
    }
    db::DataSet *dataSet;
    QString fieldName;
    QString text(const Report &, int) const override;
};

// A rectangle or a line. Pen widths count screen pixels.
class Shape : public Element {
public:
    enum class Type { Rectangle, VerticalLine, HorizontalLine };
    Shape(QString name, Type type) : Element(Kind::Shape, std::move(name)), type(type) {}
    Type type;
    bool outline = true;
    QColor penColor = Qt::black;
    double penWidth = 1;
    bool filled = true;
    QColor brushColor = Qt::white;
};

enum class BandType { PageHeader, ColumnHeader, Detail, SubDetail, Summary, PageFooter, Child };

class Band {
public:
    Band(Report &report, QString name, BandType type, double height);
    Band(const Band &) = delete;
    Band &operator=(const Band &) = delete;

    Report &report() const { return m_report; }
    const QString &name() const { return m_name; }
    BandType type() const { return m_type; }
    double height;
    QColor color = Qt::white;
    // The font of its text elements that have none of their own; unset: the report's.
    std::optional<QFont> font;
    // Rules along the band's top and bottom edges (SideTop, SideBottom), 1 pixel, black.
    int frameSides = 0;
    bool enabled = true;
    // The band and its chain of children go to the next column or page together when they do not all
    // fit where the band would start.
    bool keepTogether = false;

    // The child band printed right after this one (a chain may follow from it).
    Band *child() const { return m_child; }
    Band *parent() const { return m_parent; }
    // A sub-detail band prints once per row of its dataset after each master detail row, once empty
    // when the dataset has no rows.
    db::DataSet *dataSet = nullptr;

    // Asked before the band prints; setting `print` to false suppresses it.
    std::function<void(Band &band, bool &print)> beforePrint;

    template <class T, class... Args> T &add(Args &&...args)
    {
        auto element = std::make_unique<T>(std::forward<Args>(args)...);
        T &ref = *element;
        m_elements.push_back(std::move(element));
        return ref;
    }
    Label &addLabel(const QString &name, double left, double top, double width, double height,
                    const QString &caption = QString());
    Memo &addMemo(const QString &name, double left, double top, double width, double height);
    Shape &addShape(const QString &name, Shape::Type type, double left, double top, double width, double height);
    const std::vector<std::unique_ptr<Element>> &elements() const { return m_elements; }

private:
    friend class Report;
    Report &m_report;
    QString m_name;
    BandType m_type;
    Band *m_child = nullptr;
    Band *m_parent = nullptr;
    std::vector<std::unique_ptr<Element>> m_elements;
};

// Something drawn on a laid-out page, in millimetres from the paper's top-left corner.
struct DrawItem {
    enum class Kind { Text, Rect, Line };
    Kind kind = Kind::Text;
    QRectF rect;
    // Text: the lines, each with its left edge, and the font resolved for paper.
    QFont font;
    QColor textColor = Qt::black;
    double ascent = 0, lineHeight = 0;
    QStringList lines;
    std::vector<double> lineLefts;
    // Rect: outline and fill; Line: from rect's top-left to its bottom-right with the pen.
    bool outline = false;
    QColor penColor = Qt::black;
    double penWidth = 0; // mm
    bool filled = false;
    QColor brushColor = Qt::white;
};

struct PlacedBand {
    QString name;
    QRectF rect;
    QColor color;
    std::vector<DrawItem> items;
};

struct Page {
    QSizeF paper;
    std::vector<PlacedBand> bands;
};

// Receives the pages of one generation, each as soon as it is laid out; the layout keeps none of them, so
// output costs by page however long the document is. A sink may throw to end the generation.
class PageSink {
public:
    virtual ~PageSink() = default;
    virtual void addPage(Page &&page) = 0;
};

// Told after each page how far a generation has come: `done` of `total` rows of the report's dataset
// (`total` 0 when the report has none). Returning false cancels the generation, which then throws Cancelled.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Thrown by a generation that its Progress cancelled; whatever it was writing is left unwritten.
struct Cancelled {};

// A report: paper and margins in millimetres, bands, and the handlers of its events.
class Report {
public:
    Report();
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    QSizeF paperSize{210, 297};
    QMarginsF margins{10, 10, 10, 10};
    QFont font;
    QString title;
    bool firstPageHeader = true;
    bool lastPageFooter = true;
    bool printIfEmpty = true;
    int columns = 1;
    double columnSpace = 0;
    // Drives the detail band: one per row. Without it the detail band prints as long as needData says so.
    db::DataSet *dataSet = nullptr;
    // The preview window's save function offers "RTF File" too.
    bool rtfExport = false;
    // Height of the preview window in pixels; 0 lets the window choose.
    int previewHeight = 0;

    // The name of the document in a PDF file's information ("Faktura 17"); the title when empty.
    QString documentName;

    std::function<void()> beforePrint; // at the start of every generation
    // Around a generation into a PDF file, which may show what paper does not (a pre-printed form).
    std::function<void()> beforePdf, afterPdf;
    std::function<bool()> needData;   // before each detail band of a report without dataset
    std::function<void()> afterPrint; // after the document went to a printer

    Band &addBand(const QString &name, BandType type, double height);
    Band &addChildBand(const QString &name, Band &parent, double height);
    const std::vector<std::unique_ptr<Band>> &bands() const { return m_bands; }
    Band *findBand(const QString &name) const;
    Element *findElement(const QString &name) const;
    // The element of that name and kind; a missing one is a programming error and throws Error.
    template <class T> T &element(const QString &name) const
    {
        T *found = dynamic_cast<T *>(findElement(name));
        if (!found)
            throwNoElement(name);
        return *found;
    }
    // Every element of every band, in band order and then their stored order.
    std::vector<Element *> allElements() const;

    // One layout pass: runs the events and hands each page to `sink` once laid out. Returns the number of pages.
    int generate(PageSink &sink, const Progress &progress = {});
    // The same, keeping all pages: for short documents.
    std::vector<Page> generate();

    // Generates the pages into a PDF file (no band colours) or an RTF document, writing each page as it is
    // laid out. The file appears under `path` only complete; a path that cannot be written throws Error,
    // a cancelled progress throws Cancelled, and either leaves no file behind.
    void exportPdf(const QString &path, const Progress &progress = {});
    void exportRtf(const QString &path, const Progress &progress = {});

    // The number of pages of the generation under way; 0 while it is not yet known.
    int pageCount() const { return m_pageCount; }

private:
    [[noreturn]] static void throwNoElement(const QString &name);
    int m_pageCount = 0;
    std::vector<std::unique_ptr<Band>> m_bands;
    // Elements by name with their band's place, for findElement, and how many of each band it holds.
    struct IndexedElement {
        Element *element;
        size_t band;
    };
    mutable QHash<QString, IndexedElement> m_elementIndex;
    mutable std::vector<size_t> m_indexedPerBand;
};

// Fonts as the paper gets them: Arial prints in Liberation Sans, Courier New in Liberation Mono, MS Sans
// Serif in a sans-serif face at 13 pixels. Sizes in points stay.
QFont paperFont(const QFont &font);
QFont reportFont(const QString &family, double pointSize, bool bold = false, bool italic = false);

// The pieces of a text between its line breaks (CR LF, CR, LF, or the line separator U+2028, which a
// value uses where CR and LF separate the values of a row).
QStringList splitLines(const QString &text);

} // namespace report
