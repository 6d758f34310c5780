#include "Report.h"

#include "core/DataSet.h"
#include "core/Errors.h"
#include "core/Field.h"

namespace report {

QString SysData::text(const Report &report, int pageNumber) const
{
    switch (data) {
    case Data::ReportTitle:
        return prefix + report.title;
    case Data::PageNumber:
        return prefix + QString::number(pageNumber);
    case Data::PageOfPages:
        return report.pageCount() > 1 ? QString(prefix).arg(pageNumber).arg(report.pageCount()) : QString();
    }
    return prefix;
}

QString DBText::text(const Report &, int) const
{
    if (!dataSet || !dataSet->isActive() || dataSet->isEmpty())
        return QString();
    return dataSet->fieldByName(fieldName).text();
}

Band::Band(Report &report, QString name, BandType type, double height)
    : height(height), m_report(report), m_name(std::move(name)), m_type(type)
{
}

Label &Band::addLabel(const QString &name, double left, double top, double width, double height, const QString &caption)
{
    auto &label = add<Label>(name);
    label.setGeometry(left, top, width, height);
    label.caption = caption;
    return label;
}

Memo &Band::addMemo(const QString &name, double left, double top, double width, double height)
{
    auto &memo = add<Memo>(name);
    memo.setGeometry(left, top, width, height);
    return memo;
}

Shape &Band::addShape(const QString &name, Shape::Type type, double left, double top, double width, double height)
{
    auto &shape = add<Shape>(name, type);
    shape.setGeometry(left, top, width, height);
    return shape;
}

Report::Report() : font(reportFont(QStringLiteral("Arial"), 10)) {}

Report::~Report() = default;

Band &Report::addBand(const QString &name, BandType type, double height)
{
    m_bands.push_back(std::make_unique<Band>(*this, name, type, height));
    return *m_bands.back();
}

Band &Report::addChildBand(const QString &name, Band &parent, double height)
{
    Band &band = addBand(name, BandType::Child, height);
    band.m_parent = &parent;
    parent.m_child = &band;
    return band;
}

Band *Report::findBand(const QString &name) const
{
    for (const auto &band : m_bands)
        if (band->name() == name)
            return band.get();
    return nullptr;
}

Element *Report::findElement(const QString &name) const
{
    // Elements are only ever added, at the end of their band, and keep their names: the index takes in
    // the elements added since the last look-up. Of two with one name, the one printed first wins.
    m_indexedPerBand.resize(m_bands.size(), 0);
    for (size_t b = 0; b < m_bands.size(); ++b) {
        const auto &elements = m_bands[b]->elements();
        for (size_t k = m_indexedPerBand[b]; k < elements.size(); ++k) {
            const IndexedElement entry{elements[k].get(), b};
            const auto it = m_elementIndex.find(elements[k]->name());
            if (it == m_elementIndex.end())
                m_elementIndex.insert(elements[k]->name(), entry);
            else if (b < it->band)
                *it = entry;
        }
        m_indexedPerBand[b] = elements.size();
    }
    const auto it = m_elementIndex.constFind(name);
    return it == m_elementIndex.cend() ? nullptr : it->element;
}

void Report::throwNoElement(const QString &name)
{
    throw Error(QStringLiteral("Report element '%1' not found").arg(name));
}

std::vector<Element *> Report::allElements() const
{
    std::vector<Element *> all;
    for (const auto &band : m_bands)
        for (const auto &element : band->elements())
            all.push_back(element.get());
    return all;
}

} // namespace report
