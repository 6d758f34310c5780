#pragma once

#include <QCoreApplication>
#include <QString>

#include <vector>

namespace db {
class DataSet;
}

// Business settings, kept in the table APPDATA of the database: keys of at most 12 characters (letter
// case ignored), text values of at most 255. The data module owns the one store of the program and hands
// it the dataset over APPDATA.
class TDBSettings {
    Q_DECLARE_TR_FUNCTIONS(TDBSettings)
public:
    explicit TDBSettings(db::DataSet &appData) : m_appData(appData) {}

    QString GetSetting(const QString &key) const;
    // Fails with "Appsetting name "KEY" to long." for a key longer than 12 characters. The value is cut
    // to 255 characters, as the table holds it. Marks the entry changed unless it already holds exactly
    // this value.
    void SetSetting(const QString &key, const QString &value);

    void LoadBusinessSettings();
    // Writes the marked entries, all in one change: a failure stores none of them, leaves every mark and
    // reaches the caller.
    void SaveBusinessSettings();

    double DefaultTax() const;
    void setDefaultTax(double tax);
    bool RoundFraction() const;
    void setRoundFraction(bool round);
    int CreditDays() const;
    void setCreditDays(int days);

    // The database needs no upgrade: always true, the version numbers are left as they are.
    bool CheckDatabaseVersion(int *databaseVersion = nullptr, int *requiredVersion = nullptr) const;

    // For tests and diagnostics: whether the entry of that key waits to be written.
    bool isChanged(const QString &key) const;

private:
    struct Entry {
        QString key;
        QString value;
        bool changed = false;
    };

public:
    // The store as it is in memory, values and marks, to be put back when saving what followed failed.
    class Snapshot {
        friend class TDBSettings;
        std::vector<Entry> entries;
    };
    Snapshot snapshot() const
    {
        Snapshot s;
        s.entries = m_entries;
        return s;
    }
    void restore(const Snapshot &snapshot) { m_entries = snapshot.entries; }

private:
    QString fitted(const QString &value) const;
    const Entry *find(const QString &key) const;
    Entry *find(const QString &key);

    db::DataSet &m_appData;
    std::vector<Entry> m_entries;
};
