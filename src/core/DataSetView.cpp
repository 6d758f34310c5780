#include "DataSet.h"
#include "Errors.h"
#include "RowOrder.h"
#include "ValueKey.h"

#include <algorithm>

namespace db {

// ---------------------------------------------------------------------------------------------------------
// Order, filter, locate, bookmarks

void DataSet::sort(const QString &fieldName, bool ascending)
{
    checkActive();
    checkBrowseMode();
    Row *current = m_current >= 0 ? m_view[m_current] : nullptr;
    if (fieldName.isEmpty()) {
        sortByReadOrder(m_sorted);
        m_sortField.clear();
    } else {
        const Field &field = fieldByName(fieldName);
        if (isTextType(field.type()) || field.kind() == FieldKind::Lookup)
            sortByText(m_sorted, ascending, [&](const Row &row) { return rawValue(field, row.values).toString(); });
        else
            sortByValue(m_sorted, field.slot(), field.type(), ascending);
        m_sortField = field.name();
    }
    rebuildView();
    if (current)
        m_current = int(std::find(m_view.begin(), m_view.end(), current) - m_view.begin());
    emitReset();
}

void DataSet::setFilter(const QString &expression)
{
    std::optional<RowFilter> filter = RowFilter::parse(expression);
    if (!filter)
        throw Error(tr("The filter '%1' is not understood").arg(expression));
    m_rowFilter = std::move(*filter);
    m_filter = expression;
    if (m_filtered && isActive()) {
        rebuildView();
        m_current = m_view.empty() ? -1 : 0;
        emitReset();
        scrolled();
    }
}

QString DataSet::prefixFilter(const QString &fieldName, const QString &text)
{
    return RowFilter::prefixExpression(fieldName, text);
}

bool DataSet::passesFilter(const Row &row) const
{
    if (m_rowFilter.isEmpty())
        return true;
    const Field *field = findField(m_rowFilter.fieldName());
    if (!field)
        return true;
    return m_rowFilter.matches(const_cast<DataSet *>(this)->rawValue(*field, row.values).toString());
}

void DataSet::setFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    if (isActive())
        checkBrowseMode();
    m_filtered = filtered;
    if (!isActive())
        return;
    Row *current = m_current >= 0 ? m_view[m_current] : nullptr;
    rebuildView();
    auto it = std::find(m_view.begin(), m_view.end(), current);
    m_current = m_view.empty() ? -1 : (filtered || it == m_view.end() ? 0 : int(it - m_view.begin()));
    emitReset();
    scrolled();
}

void DataSet::rebuildView()
{
    if (!m_filtered || m_rowFilter.isEmpty()) {
        m_view = m_sorted;
        return;
    }
    m_view.clear();
    for (Row *row : m_sorted)
        if (row == m_insertRow.get() || passesFilter(*row))
            m_view.push_back(row);
}

bool DataSet::locate(const QString &fieldNames, const QVariant &values, LocateOptions options)
{
    checkActive();
    const QStringList names = fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QVariantList wanted = names.size() == 1 ? QVariantList{values} : values.toList();
    if (wanted.size() != names.size())
        throw Error(tr("Locate was given %1 values for %2 fields").arg(wanted.size()).arg(names.size()));
    std::vector<const Field *> fields;
    for (int i = 0; i < names.size(); ++i) {
        fields.push_back(&fieldByName(names.at(i).trimmed()));
        wanted[i] = fields.back()->convert(wanted.at(i));
    }
    const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int r = 0; r < int(m_view.size()); ++r) {
        bool match = true;
        for (size_t i = 0; i < fields.size() && match; ++i) {
            const QVariant have = rawValue(*fields[i], m_view[r]->values);
            if (isTextType(fields[i]->type())) {
                const QString a = have.toString(), b = wanted.at(int(i)).toString();
                match = options.partialKey ? a.startsWith(b, cs) : a.compare(b, cs) == 0;
            } else {
                match = canonicalKey(have) == canonicalKey(wanted.at(int(i)));
            }
        }
        if (match) {
            checkBrowseMode();
            moveTo(r);
            return true;
        }
    }
    return false;
}

Bookmark DataSet::bookmark() const
{
    if (m_current < 0 || m_current >= int(m_view.size()))
        return 0;
    return m_view[m_current]->id;
}

bool DataSet::bookmarkValid(Bookmark bookmark) const
{
    return bookmark != 0 &&
           std::any_of(m_view.begin(), m_view.end(), [bookmark](const Row *r) { return r->id == bookmark; });
}

bool DataSet::gotoBookmark(Bookmark bookmark)
{
    checkActive();
    auto it = std::find_if(m_view.begin(), m_view.end(), [bookmark](const Row *r) { return r->id == bookmark; });
    if (bookmark == 0 || it == m_view.end())
        return false;
    checkBrowseMode();
    moveTo(int(it - m_view.begin()));
    return true;
}

} // namespace db
