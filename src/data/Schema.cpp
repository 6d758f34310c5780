#include "Schema.h"

#include "core/Connection.h"
#include "core/Errors.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace Schema {
namespace {

using db::FieldType;

QString sqlType(const Column &c)
{
    switch (c.type) {
    case FieldType::String:
        return QStringLiteral("VARCHAR(%1)").arg(c.size);
    case FieldType::FixedString:
        return QStringLiteral("CHAR(%1)").arg(c.size);
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    case FieldType::SmallInt:
        return QStringLiteral("SMALLINT");
    case FieldType::AutoInc:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Double:
        return QStringLiteral("DOUBLE");
    case FieldType::Currency:
        return QStringLiteral("CURRENCY"); // integer count of 1/10000 units
    case FieldType::DateTime:
        return QStringLiteral("DATETIME"); // text YYYY-MM-DD HH:MM:SS
    case FieldType::Boolean:
        return QStringLiteral("BOOLEAN");
    }
    return QString();
}

} // namespace

// Labels are marked for translation here and translated when a field is declared.
const std::vector<Table> &tables()
{
    static const std::vector<Table> all = {
        {"CUSTOMER",
         {
             {"CUST_ID", FieldType::AutoInc, 0, QT_TRANSLATE_NOOP("Schema", "#")},
             {"CUST_NO", FieldType::Integer, 0, QT_TRANSLATE_NOOP("Schema", "#")},
             {"FIRSTNAME", FieldType::String, 25, QT_TRANSLATE_NOOP("Schema", "Firstname")},
             {"SURNAME", FieldType::String, 25, QT_TRANSLATE_NOOP("Schema", "Surname")},
             {"ADDRESS", FieldType::String, 64, QT_TRANSLATE_NOOP("Schema", "Address")},
             {"POSTALCODE", FieldType::FixedString, 10, QT_TRANSLATE_NOOP("Schema", "Postcode")},
             {"POSTALADDRESS", FieldType::String, 64, QT_TRANSLATE_NOOP("Schema", "Postaddress")},
             {"PHONE1", FieldType::String, 15, QT_TRANSLATE_NOOP("Schema", "Phone #1")},
             {"PHONE2", FieldType::String, 15, QT_TRANSLATE_NOOP("Schema", "Phone #2")},
             {"EMAIL", FieldType::String, 40, QT_TRANSLATE_NOOP("Schema", "E-mail")},
             {"MISC", FieldType::String, 255, QT_TRANSLATE_NOOP("Schema", "Misc")},
             {"STATUS", FieldType::String, 10, QT_TRANSLATE_NOOP("Schema", "Status")},
         }},
        {"INVOICE",
         {
             {"INV_ID", FieldType::AutoInc},
             {"CUST_ID", FieldType::Integer},
             {"INVOICE_NO", FieldType::Integer},
             {"INVDATE", FieldType::DateTime},
             {"DUEDATE", FieldType::DateTime},
             {"PAIDDATE", FieldType::DateTime},
             {"PRINTDATE", FieldType::DateTime},
             {"KID", FieldType::String, 30},
             {"GROSSSUM", FieldType::Currency},
             {"SUMPAID", FieldType::Currency},
             {"SUMVAT", FieldType::Currency},
             {"OURREF", FieldType::String, 20, QT_TRANSLATE_NOOP("Schema", "Our ref.")},
             {"YOURREF", FieldType::String, 20, QT_TRANSLATE_NOOP("Schema", "Your ref.")},
             {"ORDER_NO", FieldType::String, 20, QT_TRANSLATE_NOOP("Schema", "Order #")},
             {"INV_TYPE", FieldType::FixedString, 1, "", false, "", 15},
             {"INV_NOTE", FieldType::String, 255},
         }},
        {"INVITEM",
         {
             {"INV_ID", FieldType::Integer},
             {"ITEM_ID", FieldType::Integer},
             {"ITEM_NO", FieldType::String, 10, QT_TRANSLATE_NOOP("Schema", "Item code"), false, "", 11},
             {"ITEM_DESC", FieldType::String, 64, QT_TRANSLATE_NOOP("Schema", "Description"), false, "", 50},
             {"NUM", FieldType::Double, 0, QT_TRANSLATE_NOOP("Schema", "Amount"), true, "", 12},
             {"NETPRICE", FieldType::Currency, 0, "", true},
             {"VAT", FieldType::Double, 0, QT_TRANSLATE_NOOP("Schema", "VAT %"), true, "0.#%", 12},
             {"DISCOUNT", FieldType::Double, 0, "", false, "0.#%"},
         }},
        {"DYNAITEM",
         {
             {"ITEM_NO", FieldType::FixedString, 10},
             {"ITEM_DESC", FieldType::FixedString, 64},
             {"NETPRICE", FieldType::Currency},
             {"VAT", FieldType::Double, 0, "", false, "0%"},
         }},
        {"POSTALADDR",
         {
             {"POSTALCODE", FieldType::String, 10},
             {"POSTALADDRESS", FieldType::String, 64},
         }},
        {"APPDATA",
         {
             {"ANAME", FieldType::String, 12},
             {"AVALUE", FieldType::String, 255},
             {"ATYPE", FieldType::SmallInt},
         }},
    };
    return all;
}

const Table &table(const QString &name)
{
    for (const Table &t : tables())
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return t;
    throw Error(QStringLiteral("Unknown table %1").arg(name));
}

const Column &column(const QString &tableName, const QString &columnName)
{
    for (const Column &c : table(tableName).columns)
        if (columnName.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c;
    throw Error(QStringLiteral("Unknown column %1.%2").arg(tableName, columnName));
}

db::FieldDef fieldDef(const QString &tableName, const QString &columnName)
{
    const Column &c = column(tableName, columnName);
    db::FieldDef def;
    def.name = QLatin1String(c.name);
    def.type = c.type;
    def.size = c.size;
    def.label = *c.label ? QCoreApplication::translate("Schema", c.label) : QString();
    def.required = c.required;
    def.displayFormat = QLatin1String(c.displayFormat);
    def.displayWidth = c.displayWidth;
    return def;
}

QStringList viewNames()
{
    return {QStringLiteral("INVOICELIST"), QStringLiteral("INVITEMVIEW")};
}

// The line view is plain SQL that every SQLite client reads. Its amounts are the doubles of lineAmounts(),
// step by step in the same order (a missing value counts as 0). GROSSPRICE is money: the gross price times
// 10000 rounded half to even, as money() rounds. SQLite's own round() goes half away from zero and sees
// only the product rounded to a double, so the exact product is kept as that double P and its error E
// (Dekker's product: the price split into halves of 26 bits, times 10000 exactly), and a tie of P is
// settled by E's sign, or to the even integer when E is 0.
QString lineViewStatement()
{
    return QStringLiteral(
        "CREATE VIEW INVITEMVIEW AS\n"
        "SELECT INV_ID, ITEM_ID, ITEM_NO, ITEM_DESC, NUM, NETPRICE, VAT, DISCOUNT,\n"
        "       CASE WHEN F > 0.5 THEN T + 1 WHEN F < -0.5 THEN T - 1\n"
        "            WHEN F = 0.5 OR F = -0.5 THEN\n"
        "                 CASE WHEN E > 0 THEN T + (F > 0) WHEN E < 0 THEN T - (F < 0) ELSE T + T % 2 END\n"
        "            ELSE T END AS GROSSPRICE,\n"
        "       NETSUM, SUMVAT, SUMVAT + NETSUM AS GROSSUM\n"
        "FROM (SELECT *, P - T AS F, (GH * 10000.0 - P) + (G - GH) * 10000.0 AS E\n"
        "      FROM (SELECT *, CAST(P AS INTEGER) AS T, S - (S - G) AS GH\n"
        "            FROM (SELECT *, G * 10000.0 AS P, G * 134217729.0 AS S, (R / 100.0) * NETSUM AS SUMVAT\n"
        "                  FROM (SELECT INV_ID, ITEM_ID, ITEM_NO, ITEM_DESC, NUM, NETPRICE, VAT, DISCOUNT, R,\n"
        "                               (R / 100.0 + 1) * U AS G,\n"
        "                               (coalesce(NUM, 0) * U) * (1 - coalesce(DISCOUNT, 0) / 100.0) AS NETSUM\n"
        "                        FROM (SELECT *, coalesce(NETPRICE, 0) / 10000.0 AS U, coalesce(VAT, 0) AS R\n"
        "                              FROM INVITEM)))))");
}

QStringList creationStatements()
{
    QStringList statements;
    for (const Table &t : tables()) {
        QStringList parts;
        for (const Column &c : t.columns) {
            QString part = QStringLiteral("%1 %2").arg(QLatin1String(c.name), sqlType(c));
            // Widths are the program's limits; the file enforces them too.
            if (db::isTextType(c.type))
                part += QStringLiteral(" CHECK (length(%1) <= %2)").arg(QLatin1String(c.name)).arg(c.size);
            parts << part;
        }
        const QString name = QLatin1String(t.name);
        if (name == QLatin1String("INVOICE"))
            parts << QStringLiteral("FOREIGN KEY (CUST_ID) REFERENCES CUSTOMER (CUST_ID) ON DELETE CASCADE");
        else if (name == QLatin1String("INVITEM"))
            parts << QStringLiteral("FOREIGN KEY (INV_ID) REFERENCES INVOICE (INV_ID) ON DELETE CASCADE");
        else if (name == QLatin1String("POSTALADDR"))
            parts << QStringLiteral("PRIMARY KEY (POSTALCODE)");
        else if (name == QLatin1String("APPDATA"))
            parts << QStringLiteral("UNIQUE (ANAME COLLATE NOCASE)");
        statements << QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(name, parts.join(QLatin1String(",\n  ")));
    }
    statements << QStringLiteral("CREATE INDEX INVOICE_CUST_ID ON INVOICE (CUST_ID)")
               << QStringLiteral("CREATE INDEX INVOICE_INVDATE ON INVOICE (INVDATE)")
               << QStringLiteral("CREATE INDEX INVITEM_INV_ID ON INVITEM (INV_ID)")
               << QStringLiteral("CREATE INDEX DYNAITEM_ITEM_NO ON DYNAITEM (ITEM_NO)")
               << QStringLiteral("CREATE INDEX CUSTOMER_CUST_NO ON CUSTOMER (CUST_NO)")
               // The journal of a period looks payments up by their date.
               << QStringLiteral("CREATE INDEX INVOICE_PAIDDATE ON INVOICE (PAIDDATE)");
    // An invoice whose customer row is missing still shows, with empty customer columns.
    statements << QStringLiteral(
        "CREATE VIEW INVOICELIST AS\n"
        "SELECT I.INV_ID, I.CUST_ID, I.INVOICE_NO, I.INV_TYPE, I.INVDATE, I.DUEDATE, I.PRINTDATE, I.PAIDDATE,\n"
        "       I.GROSSSUM, I.SUMPAID, I.SUMVAT, C.CUST_NO, C.FIRSTNAME, C.SURNAME\n"
        "FROM INVOICE I LEFT JOIN CUSTOMER C ON C.CUST_ID = I.CUST_ID");
    statements << lineViewStatement();
    return statements;
}

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Schema", text);
}

struct ColumnInfo {
    QString name;
    QString type;
};

std::vector<ColumnInfo> columnsOf(db::Connection &connection, const QString &name, const QString &schema)
{
    std::vector<ColumnInfo> columns;
    db::Statement statement(connection,
                            QStringLiteral("select name, upper(type) from pragma_table_info(:NAME, :SCHEMA)"));
    statement.bind(QStringLiteral("NAME"), name);
    statement.bind(QStringLiteral("SCHEMA"), schema);
    while (statement.step())
        columns.push_back({statement.rawValue(0).toString(), statement.rawValue(1).toString()});
    return columns;
}

QString kindOf(db::Connection &connection, const QString &name)
{
    return connection
        .scalar(QStringLiteral("select type from main.sqlite_master where type in ('table', 'view') and "
                               "upper(name) = upper(:NAME)"),
                {{QStringLiteral("NAME"), name}})
        .toString();
}

} // namespace

void upgrade(db::Connection &connection)
{
    if (!connection.isSQLite())
        return;
    // Earlier versions made the line view call functions only this program registered.
    const QString view =
        connection
            .scalar(QStringLiteral(
                "select sql from main.sqlite_master where type = 'view' and upper(name) = 'INVITEMVIEW'"))
            .toString();
    if (!view.contains(QLatin1String("LINE_NETSUM"), Qt::CaseInsensitive))
        return;
    try {
        connection.beginTransaction();
        connection.execute(QStringLiteral("DROP VIEW INVITEMVIEW"));
        connection.execute(lineViewStatement());
        connection.commit();
    } catch (const Error &e) {
        connection.rollback();
        throw Error(tr("The line view INVITEMVIEW of %1 cannot be brought up to date: %2")
                        .arg(connection.databaseName(), e.message()));
    }
}

void check(db::Connection &connection)
{
    const QString database = connection.databaseName();
    const auto refuse = [&](const QString &why) {
        throw Error(tr("%1 is not an invoice database: %2").arg(database, why));
    };
    if (!connection.isSQLite()) {
        for (const Table &table : tables())
            if (!connection.hasTableOrView(QLatin1String(table.name)))
                refuse(tr("the table %1 is missing").arg(QLatin1String(table.name)));
        for (const QString &view : viewNames())
            if (!connection.hasTableOrView(view))
                refuse(tr("the view %1 is missing").arg(view));
        return;
    }

    // The schema this program makes, built in memory beside the file, is what the file must hold.
    static const QString Reference = QStringLiteral("tessund_reference");
    connection.execute(QStringLiteral("ATTACH DATABASE ':memory:' AS ") + Reference);
    struct Detach {
        db::Connection &connection;
        ~Detach()
        {
            try {
                connection.execute(QStringLiteral("DETACH DATABASE ") + Reference);
            } catch (...) {
            }
        }
    } detach{connection};
    static const QRegularExpression creation(QStringLiteral("^CREATE (TABLE|VIEW) "));
    for (QString statement : creationStatements()) {
        if (statement.contains(creation)) {
            statement.replace(creation, QStringLiteral("CREATE \\1 ") + Reference + QLatin1Char('.'));
            connection.execute(statement);
        }
    }

    db::Statement objects(connection, QStringLiteral("select type, name from ") + Reference +
                                          QStringLiteral(".sqlite_master where type in ('table', 'view') and "
                                                         "name not like 'sqlite%' order by type, rowid"));
    while (objects.step()) {
        const QString kind = objects.rawValue(0).toString();
        const QString name = objects.rawValue(1).toString();
        const bool isTable = kind == QLatin1String("table");
        const QString found = kindOf(connection, name);
        if (found.isEmpty())
            refuse((isTable ? tr("the table %1 is missing") : tr("the view %1 is missing")).arg(name));
        if (found != kind)
            refuse((isTable ? tr("%1 is a view, not a table") : tr("%1 is a table, not a view")).arg(name));
        std::vector<ColumnInfo> actual;
        try {
            actual = columnsOf(connection, name, QStringLiteral("main"));
        } catch (const Error &e) {
            refuse(tr("%1 cannot be read: %2").arg(name, e.message()));
        }
        for (const ColumnInfo &wanted : columnsOf(connection, name, Reference)) {
            const auto it = std::find_if(actual.begin(), actual.end(), [&](const ColumnInfo &c) {
                return c.name.compare(wanted.name, Qt::CaseInsensitive) == 0;
            });
            if (it == actual.end())
                refuse(tr("the column %1.%2 is missing").arg(name, wanted.name));
            // A view's columns take their types from its statement; a table's are declared.
            if (isTable && it->type != wanted.type)
                refuse(tr("the column %1.%2 is of type %3, not %4")
                           .arg(name, wanted.name, it->type.isEmpty() ? tr("none") : it->type, wanted.type));
        }
    }
}

} // namespace Schema
