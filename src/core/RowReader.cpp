#include "RowReader.h"

#include "Connection.h"
#include "DataSet.h"

#include <QRegularExpression>

#include <string>
#include <string_view>
#include <unordered_map>

namespace db {

const QString hiddenKeyColumn = QStringLiteral("__ROWID");

// The key of a row in its update table is the engine's rowid, added to the statement's select list so
// that rows of tables without a key of their own (invoice lines, catalogue items) can be written back.
QString withHiddenKey(const QString &sql, const QString &table)
{
    static const QRegularExpression select(QStringLiteral("^\\s*select\\s+"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = select.match(sql);
    if (!m.hasMatch())
        return sql;
    return QStringLiteral("select %1.rowid as %2, ").arg(table, hiddenKeyColumn) + sql.mid(m.capturedEnd());
}

FieldDef fieldFromColumn(const QString &name, const QString &declared, const QVariant &sample)
{
    FieldDef def;
    def.name = name;
    static const QRegularExpression sized(QStringLiteral("\\((\\d+)\\)"));
    const QRegularExpressionMatch size = sized.match(declared);
    if (declared.startsWith(QLatin1String("CHAR"))) {
        def.type = FieldType::FixedString;
    } else if (declared.contains(QLatin1String("CHAR")) || declared.contains(QLatin1String("TEXT"))) {
        def.type = FieldType::String;
    } else if (declared == QLatin1String("SMALLINT")) {
        def.type = FieldType::SmallInt;
    } else if (declared.contains(QLatin1String("INT"))) {
        def.type = FieldType::Integer;
    } else if (declared == QLatin1String("CURRENCY")) {
        def.type = FieldType::Currency;
    } else if (declared == QLatin1String("DATETIME")) {
        def.type = FieldType::DateTime;
    } else if (declared.contains(QLatin1String("DOUB")) || declared.contains(QLatin1String("REAL")) ||
               declared.contains(QLatin1String("FLOA"))) {
        def.type = FieldType::Double;
    } else if (declared.isEmpty() && sample.isValid()) {
        // A computed column: typed by its first value.
        def.type = sample.typeId() == QMetaType::Double     ? FieldType::Double
                   : sample.typeId() == QMetaType::LongLong ? FieldType::Integer
                                                            : FieldType::String;
    }
    if (size.hasMatch() && isTextType(def.type))
        def.size = size.captured(1).toInt();
    return def;
}

namespace {

// Texts repeat from row to row (a customer's name on each of the customer's invoices, a kind code):
// equal short texts of a column share one string, which saves an allocation and its memory per row.
class SharedTexts {
public:
    // Whether the column's value is a short text; then value is set to the shared string.
    bool take(const Statement &statement, int column, QVariant &value)
    {
        std::string_view utf8;
        if (!statement.utf8Text(column, utf8) || utf8.size() >= 16)
            return false;
        auto found = m_texts.find(std::string(utf8));
        if (found != m_texts.end()) {
            value = found->second;
            return true;
        }
        const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        if (m_texts.size() < MaxTexts)
            m_texts.emplace(std::string(utf8), text);
        value = text;
        return true;
    }

private:
    static constexpr size_t MaxTexts = 8192;
    std::unordered_map<std::string, QString> m_texts;
};

// The value of a field from its column. One that is none of the field's type reads as null and is noted
// with the stored value, cut to a length a message can show.
void readValue(const Statement &statement, int column, const Field &field, Row &row, RowStore &store)
{
    bool readable = true;
    QVariant &value = row.values[field.slot()];
    value = statement.value(column, field.type(), &readable);
    // A double shown as money is no amount beyond what money holds.
    if (field.def().currency && value.isValid() && !Money::fits(value.toDouble())) {
        value = QVariant();
        readable = false;
    }
    if (!readable) {
        QString stored = statement.rawValue(column).toString();
        if (stored.size() > 40)
            stored = stored.left(39) + QChar(0x2026);
        store.unreadable[row.id] << UnreadableValue{field.name(), stored};
    }
}

} // namespace

void readRows(Statement &statement, bool hasRow, const ColumnMap &columns, int slotCount, RowStore &store)
{
    std::vector<SharedTexts> sharedTexts(columns.fields.size());
    for (bool more = hasRow; more; more = statement.step()) {
        auto row = std::make_unique<Row>();
        row->id = store.nextId++;
        row->values.reserve(slotCount); // exactly: a plain resize leaves room to grow, twice the memory
        row->values.resize(slotCount);
        for (size_t i = 0; i < columns.fields.size(); ++i) {
            const auto &[column, field] = columns.fields[i];
            if (isTextType(field->type()) && sharedTexts[i].take(statement, column, row->values[field->slot()]))
                continue;
            readValue(statement, column, *field, *row, store);
        }
        if (columns.keyColumn >= 0) {
            row->key = statement.rawValue(columns.keyColumn).toLongLong();
            row->hasKey = true;
        }
        store.rows.push_back(std::move(row));
    }
}

} // namespace db
