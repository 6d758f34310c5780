#include "LayoutTable.h"

#include <QCoreApplication>

namespace layout {

namespace {

void setText(report::TextElement &e, const Element &spec)
{
    if (spec.font.family)
        e.font = report::reportFont(QLatin1String(spec.font.family), spec.font.size, spec.font.bold);
    e.alignment = spec.alignment;
    e.autoSize = spec.flags & AutoSize;
    e.transparent = spec.flags & Transparent;
    e.autoStretch = spec.flags & Stretch;
    e.wordWrap = !(spec.flags & NoWrap);
    e.shrinkToFit = spec.flags & Shrink;
    e.mustFit = spec.flags & MustFit;
    e.keepLastLine = spec.flags & KeepLastLine;
    e.cutOff = spec.flags & CutOff;
}

void setShape(report::Shape &s, const Element &spec, const QColor &tint)
{
    s.outline = spec.flags & Outline;
    s.penColor = spec.flags & TintPen ? tint : QColor(Qt::black);
    s.penWidth = spec.flags & ThickPen ? 2 : 1;
    s.brushColor = spec.flags & TintFill ? tint : QColor(Qt::white);
}

report::Element &addElement(report::Band &band, const Layout &layout, const Element &spec, db::DataSet *dataSet)
{
    using report::SysData;
    const QString name = QString::fromUtf8(spec.name);
    const QString text = spec.text ? QString::fromUtf8(spec.text) : QString();
    switch (spec.kind) {
    case Kind::Label: {
        auto &l = band.add<report::Label>(name);
        l.caption = layout.trContext && spec.text ? QCoreApplication::translate(layout.trContext, spec.text) : text;
        return l;
    }
    case Kind::Memo:
        return band.add<report::Memo>(name);
    case Kind::Title:
        return band.add<SysData>(name, SysData::Data::ReportTitle);
    case Kind::PageNumber:
        return band.add<SysData>(name, SysData::Data::PageNumber);
    case Kind::PageOfPages: {
        auto &s = band.add<SysData>(name, SysData::Data::PageOfPages);
        s.prefix = text;
        return s;
    }
    case Kind::Field:
        return band.add<report::DBText>(name, dataSet, spec.text ? text : name);
    case Kind::Box:
        return band.add<report::Shape>(name, report::Shape::Type::Rectangle);
    case Kind::VerticalLine:
        return band.add<report::Shape>(name, report::Shape::Type::VerticalLine);
    }
    Q_UNREACHABLE();
}

} // namespace

void buildLayout(report::Report &report, const Layout &layout, db::DataSet *subDetailData)
{
    const QColor tint(layout.tint);
    report::Band *previous = nullptr;
    for (const Band &spec : layout.bands) {
        const QString name = QString::fromUtf8(spec.name);
        report::Band &band = spec.type == report::BandType::Child && previous
                                 ? report.addChildBand(name, *previous, spec.height)
                                 : report.addBand(name, spec.type, spec.height);
        if (spec.flags & Tinted)
            band.color = tint;
        if (spec.flags & KeepTogether)
            band.keepTogether = true;
        band.frameSides = spec.frameSides;
        if (spec.font.family)
            band.font = report::reportFont(QLatin1String(spec.font.family), spec.font.size, spec.font.bold);
        if (spec.type == report::BandType::SubDetail)
            band.dataSet = subDetailData;
        db::DataSet *dataSet = band.dataSet ? band.dataSet : report.dataSet;
        for (const Element &e : spec.elements) {
            report::Element &element = addElement(band, layout, e, dataSet);
            element.setGeometry(e.left, e.top, e.width, e.height);
            element.tag = e.flags & Background ? backgroundTag : 0;
            element.frameSides = e.frameSides;
            if (auto *text = dynamic_cast<report::TextElement *>(&element))
                setText(*text, e);
            else
                setShape(static_cast<report::Shape &>(element), e, tint);
        }
        previous = &band;
    }
}

} // namespace layout
