#include "BusinessSettings.h"

#include "core/Connection.h"
#include "core/DataSet.h"
#include "core/Errors.h"

#include <QLocale>

#include <algorithm>

namespace {

constexpr int MaxKeyLength = 12;

int storedInteger(const QString &text, int otherwise)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : otherwise;
}

} // namespace

const TDBSettings::Entry *TDBSettings::find(const QString &key) const
{
    for (const Entry &entry : m_entries)
        if (entry.key.compare(key, Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

TDBSettings::Entry *TDBSettings::find(const QString &key)
{
    return const_cast<Entry *>(std::as_const(*this).find(key));
}

QString TDBSettings::GetSetting(const QString &key) const
{
    const Entry *entry = find(key);
    return entry ? entry->value : QString();
}

// A value is cut to the width of its column at once, as the table will hold it: memory and file never
// differ, also before the next start.
QString TDBSettings::fitted(const QString &value) const
{
    return m_appData.fieldByName(QStringLiteral("AVALUE")).convert(value).toString();
}

void TDBSettings::SetSetting(const QString &key, const QString &value)
{
    if (key.size() > MaxKeyLength)
        throw Error(tr("Appsetting name \"%1\" to long.").arg(key));
    const QString stored = fitted(value);
    Entry *entry = find(key);
    if (!entry) {
        m_entries.push_back({key, stored, true});
    } else if (entry->value != stored) {
        entry->value = stored;
        entry->changed = true;
    }
}

bool TDBSettings::isChanged(const QString &key) const
{
    const Entry *entry = find(key);
    return entry && entry->changed;
}

void TDBSettings::LoadBusinessSettings()
{
    m_entries.clear();
    db::DataSet &query = m_appData;
    query.close();
    query.open();
    // By position: eof() already answers true on the only row of a one-row result.
    for (int row = 0; row < query.recordCount(); ++row) {
        query.setRecNo(row);
        // A file written by another tool may hold a longer value: it is read as the program would store it.
        m_entries.push_back({query.fieldByName(QStringLiteral("ANAME")).asString(),
                             fitted(query.fieldByName(QStringLiteral("AVALUE")).asString()), false});
    }
    query.close();
}

void TDBSettings::SaveBusinessSettings()
{
    if (std::none_of(m_entries.begin(), m_entries.end(), [](const Entry &e) { return e.changed; }))
        return;
    db::DataSet &query = m_appData;
    const std::vector<Entry> before = m_entries;
    try {
        db::Transaction change(*query.connection());
        for (Entry &entry : m_entries) {
            if (!entry.changed)
                continue;
            if (!query.isActive())
                query.open();
            // Keys are unique without regard to letter case in the table too.
            if (query.locate(QStringLiteral("ANAME"), entry.key, db::LocateOptions{true, false})) {
                query.edit();
            } else {
                query.append();
                query.fieldByName(QStringLiteral("ANAME")).setValue(entry.key);
            }
            query.fieldByName(QStringLiteral("AVALUE")).setValue(entry.value);
            query.post();
            entry.changed = false;
        }
        change.commit();
    } catch (...) {
        // Nothing was stored: every entry keeps its mark.
        m_entries = before;
        if (query.isEditing())
            query.cancel();
        query.close();
        throw;
    }
    query.close();
}

double TDBSettings::DefaultTax() const
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double tax = locale.toDouble(GetSetting(QStringLiteral("DEFAULTTAX")), &ok);
    return ok ? tax : 24.0;
}

void TDBSettings::setDefaultTax(double tax)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    SetSetting(QStringLiteral("DEFAULTTAX"), locale.toString(tax, 'g', 15));
}

bool TDBSettings::RoundFraction() const
{
    return GetSetting(QStringLiteral("ROUNDFRAC")) == QLatin1String("1");
}

void TDBSettings::setRoundFraction(bool round)
{
    SetSetting(QStringLiteral("ROUNDFRAC"), round ? QStringLiteral("1") : QStringLiteral("0"));
}

int TDBSettings::CreditDays() const
{
    return storedInteger(GetSetting(QStringLiteral("CREDITDAYS")), 14);
}

void TDBSettings::setCreditDays(int days)
{
    SetSetting(QStringLiteral("CREDITDAYS"), QString::number(days));
}

bool TDBSettings::CheckDatabaseVersion(int *, int *) const
{
    return true;
}
