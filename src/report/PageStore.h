#pragma once

#include "Report.h"

#include <QByteArray>
#include <QFont>

#include <vector>

namespace report {

// Keeps the pages of a generation as compact compressed records (a few kilobytes each) and gives any of
// them back on demand. A preview of thousands of pages holds these records, not the pages' drawings, and
// rebuilds only the page it shows.
class PageStore : public PageSink {
public:
    void addPage(Page &&page) override;
    int count() const { return int(m_records.size()); }
    // The page as laid out (positions kept to a ten-thousandth of a millimetre); index from 0.
    Page page(int index) const;
    // Bytes held by the records.
    qint64 size() const { return m_size; }

private:
    std::vector<QByteArray> m_records;
    std::vector<QFont> m_fonts;   // the fonts the records name by number
    std::vector<QString> m_names; // the band names, likewise
    qint64 m_size = 0;
};

} // namespace report
