// The parts of a dataset that work on its rows, each without a dataset window or a database where it
// needs none: the row filter, the row order, the statements that write rows back, and row keys.

#include "core/DataSet.h"
#include "core/RowFilter.h"
#include "core/RowOrder.h"
#include "core/RowWriter.h"
#include "core/ValueKey.h"

#include <QLocale>
#include <QTest>

using db::FieldType;
using db::Row;
using db::RowFilter;

namespace {

// Rows with one value each, numbered in the order given, as a dataset reads them.
struct Rows {
    std::vector<std::unique_ptr<Row>> owned;
    std::vector<Row *> order;

    explicit Rows(const QVariantList &values)
    {
        for (const QVariant &value : values) {
            auto row = std::make_unique<Row>();
            row->id = owned.size() + 1;
            row->values = {value};
            order.push_back(row.get());
            owned.push_back(std::move(row));
        }
    }

    // The ids (1-based positions of the values given) in the current order.
    QList<int> ids() const
    {
        QList<int> result;
        for (const Row *row : order)
            result << int(row->id);
        return result;
    }
};

QVariant amount(double kroner)
{
    return QVariant::fromValue(Money::fromDouble(kroner));
}

db::FieldDef fieldDef(const QString &name, FieldType type, db::FieldKind kind = db::FieldKind::Data)
{
    db::FieldDef def;
    def.name = name;
    def.type = type;
    def.kind = kind;
    return def;
}

} // namespace

class RowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("nb_NO"))); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void filterMatches_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("match");
        // clang-format off
        QTest::newRow("prefix, ø finds Ø")        << "øst*"     << "Østby"        << true;
        QTest::newRow("prefix, Æ finds æ")        << "ÆR*"      << "ærlig"        << true;
        QTest::newRow("prefix, å finds Å")        << "å*"       << "Åsen"         << true;
        QTest::newRow("Å is no A")                << "å*"       << "Asen"         << false;
        QTest::newRow("Ø is no O")                << "Ø*"       << "Oslo"         << false;
        QTest::newRow("æ is no ae")               << "æ*"       << "Aerlig"       << false;
        QTest::newRow("prefix only at the start") << "by*"      << "Østby"        << false;
        QTest::newRow("no star: the whole text")  << "ØSTBY"    << "østby"        << true;
        QTest::newRow("no star, longer text")     << "Øst"      << "Østby"        << false;
        QTest::newRow("leading star: ends with")  << "*BY"      << "Østby"        << true;
        QTest::newRow("leading star, elsewhere")  << "*by"      << "Bykle"        << false;
        QTest::newRow("stars around: contains")   << "*SEN*"    << "Åsen Vest"    << true;
        QTest::newRow("stars around, absent")     << "*sen*"    << "Ås"           << false;
        QTest::newRow("star inside")              << "ø*Y"      << "Østby"        << true;
        QTest::newRow("star inside, wrong order") << "y*ø"      << "Østby"        << false;
        QTest::newRow("parts do not overlap")     << "å*å"      << "å"            << false;
        QTest::newRow("several stars")            << "an*ER*en" << "Andersen"     << true;
        QTest::newRow("last part also earlier")   << "a*b"      << "abab"         << true;
        QTest::newRow("end also earlier")         << "*by"      << "Byby"         << true;
        QTest::newRow("empty pattern, empty text")<< ""         << ""             << true;
        QTest::newRow("empty pattern, a text")    << ""         << "Åsen"         << false;
        QTest::newRow("star alone, empty text")   << "*"        << ""             << true;
        QTest::newRow("star alone, a text")       << "*"        << "Ærlig"        << true;
        QTest::newRow("star in brackets")         << "[*]*"     << "*stjerne"     << true;
        QTest::newRow("star in brackets, no star")<< "[*]*"     << "stjerne"      << false;
        QTest::newRow("bracket in brackets")      << "[[]z*"    << "[z]"          << true;
        QTest::newRow("unclosed bracket")         << "[a"       << "[A"           << true;
        QTest::newRow("two in brackets, literal") << "[ab]"     << "[ab]"         << true;
        QTest::newRow("two in brackets, no set")  << "[ab]"     << "a"            << false;
        QTest::newRow("question mark literal")    << "a?*"      << "abc"          << false;
        QTest::newRow("question mark itself")     << "a?*"      << "A?c"          << true;
        QTest::newRow("percent literal")          << "10%*"     << "100"          << false;
        QTest::newRow("underscore literal")       << "1_*"      << "12"           << false;
        QTest::newRow("doubled quote")            << "o''b*"    << "O'Brien"      << true;
        // clang-format on
    }
    void filterMatches()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, match);
        const auto filter = RowFilter::parse(QStringLiteral("SURNAME Like '%1'").arg(pattern));
        QVERIFY(filter);
        QCOMPARE(filter->fieldName(), QStringLiteral("SURNAME"));
        QCOMPARE(filter->matches(text), match);
    }

    void filterExpressions_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<bool>("understood");
        QTest::addColumn<QString>("field");
        QTest::newRow("keyword in any case") << "name LIKE 'a*'" << true << "name";
        QTest::newRow("blanks around") << "  NAME   like 'a*'  " << true << "NAME";
        QTest::newRow("empty: no filter") << "   " << true << "";
        QTest::newRow("other operator") << "NAME = 'a'" << false << "";
        QTest::newRow("unquoted pattern") << "NAME Like a*" << false << "";
        QTest::newRow("lone quote inside") << "NAME Like 'o'b*'" << false << "";
    }
    void filterExpressions()
    {
        QFETCH(QString, expression);
        QFETCH(bool, understood);
        QFETCH(QString, field);
        const auto filter = RowFilter::parse(expression);
        QCOMPARE(bool(filter), understood);
        if (filter) {
            QCOMPARE(filter->fieldName(), field);
            QCOMPARE(filter->isEmpty(), field.isEmpty());
        }
    }

    // Typed text goes through prefixExpression: whatever it holds, it is only a prefix.
    void prefixExpressionTakesTextLiterally_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("match");
        // clang-format off
        QTest::newRow("star")                      << "a*"  << "a*b"        << true;
        QTest::newRow("star is no wildcard")       << "a*"  << "abc"        << false;
        QTest::newRow("bracket")                   << "[z"  << "[z]"        << true;
        QTest::newRow("bracketed star")            << "[*]" << "[*]x"       << true;
        QTest::newRow("bracketed star is no star") << "[*]" << "*"          << false;
        QTest::newRow("quote")                     << "o'b" << "O'Brien"    << true;
        QTest::newRow("Norwegian letters")         << "ærø" << "Ærøskøbing" << true;
        // clang-format on
    }
    void prefixExpressionTakesTextLiterally()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(bool, match);
        const auto filter = RowFilter::parse(RowFilter::prefixExpression(QStringLiteral("NAME"), typed));
        QVERIFY(filter);
        QCOMPARE(filter->matches(text), match);
    }

    // Texts made for the sort (a lookup field's number) live only while their row is keyed; a key must
    // not go to the next text made at the same address.
    void textOrderOfTextsMadeForTheSort()
    {
        Rows rows({30, 10, 20, 40});
        db::sortByText(rows.order, true, [](const Row &row) { return QString::number(row.values.at(0).toInt()); });
        QCOMPARE(rows.ids(), (QList<int>{2, 3, 1, 4}));
    }

    void textOrderIgnoresCaseAndKeepsEqualTexts_data()
    {
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("ascending") << true << QList<int>{2, 4, 1, 3, 5, 6};
        QTest::newRow("descending") << false << QList<int>{6, 5, 1, 3, 2, 4};
    }
    void textOrderIgnoresCaseAndKeepsEqualTexts()
    {
        QFETCH(bool, ascending);
        QFETCH(QList<int>, expected);
        Rows rows({QStringLiteral("berg"), QStringLiteral("Andersen"), QStringLiteral("Berg"),
                   QStringLiteral("andersen"), QStringLiteral("Zeta"), QStringLiteral("Åsen")});
        db::sortByText(rows.order, ascending, [](const Row &row) { return row.values.at(0).toString(); });
        QCOMPARE(rows.ids(), expected);
    }

    void valueOrder_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QList<int>>("expected");
        const QVariantList amounts{amount(10), QVariant(), amount(-2.5), amount(10), amount(0.0001)};
        QTest::newRow("money, nulls first") << int(FieldType::Currency) << amounts << true << QList<int>{2, 3, 5, 1, 4};
        QTest::newRow("money, descending: nulls last")
            << int(FieldType::Currency) << amounts << false << QList<int>{1, 4, 5, 3, 2};
        QTest::newRow("integers beyond a double's precision")
            << int(FieldType::Integer)
            << QVariantList{qint64(9007199254740993), qint64(9007199254740992), QVariant(), qint64(-1)} << true
            << QList<int>{3, 4, 2, 1};
        const QDate day(2024, 3, 1);
        QTest::newRow("date-times") << int(FieldType::DateTime)
                                    << QVariantList{QDateTime(day, QTime(12, 0)), QDateTime(day, QTime(9, 30)),
                                                    QDateTime(day.addDays(-1), QTime(23, 0))}
                                    << true << QList<int>{3, 2, 1};
    }
    void valueOrder()
    {
        QFETCH(int, type);
        QFETCH(QVariantList, values);
        QFETCH(bool, ascending);
        QFETCH(QList<int>, expected);
        Rows rows(values);
        db::sortByValue(rows.order, 0, FieldType(type), ascending);
        QCOMPARE(rows.ids(), expected);
        db::sortByReadOrder(rows.order);
        QCOMPARE(rows.ids(), (QList<int>{1, 2, 3, 4, 5}).mid(0, values.size()));
    }

    // A posted row writes only what changed, so a column another program changed since the row was read
    // is not overwritten with the old value; null and the empty text are different values.
    void rowChange_data()
    {
        QTest::addColumn<bool>("inserting");
        QTest::addColumn<QVariantList>("before");
        QTest::addColumn<QVariantList>("now");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QVariantList>("params");
        // Fields: ID (AutoInc), NAME, PRICE (money), NOTE (not in the table), TOTAL (calculated).
        const QVariantList empty{QVariant(), QVariant(), QVariant(), QVariant(), QVariant()};
        const QVariantList kari{7, QStringLiteral("Kari"), amount(12.5), QStringLiteral("x"), amount(1)};
        QTest::newRow("insert: values only, never the number")
            << true << empty
            << QVariantList{QVariant(), QStringLiteral("Kari"), QVariant(), QStringLiteral("x"), amount(1)}
            << QStringList{"NAME"} << QVariantList{QStringLiteral("Kari")};
        QTest::newRow("insert: nothing") << true << empty << empty << QStringList{} << QVariantList{};
        QTest::newRow("update: nothing changed") << false << kari << kari << QStringList{} << QVariantList{};
        QTest::newRow("update: the same amount in units, changes outside the table")
            << false << kari
            << QVariantList{7, QStringLiteral("Kari"), QVariant(12.5 * 10000), QStringLiteral("y"), amount(2)}
            << QStringList{} << QVariantList{};
        QTest::newRow("update: changed and cleared")
            << false << kari << QVariantList{7, QVariant(), amount(13), QStringLiteral("x"), amount(1)}
            << QStringList{"NAME", "PRICE"} << QVariantList{QVariant(), amount(13)};
        QTest::newRow("update: null to the empty text")
            << false << QVariantList{7, QVariant(), QVariant(), QVariant(), QVariant()}
            << QVariantList{7, QString(""), QVariant(), QVariant(), QVariant()} << QStringList{"NAME"}
            << QVariantList{QString("")};
    }
    void rowChange()
    {
        QFETCH(bool, inserting);
        QFETCH(QVariantList, before);
        QFETCH(QVariantList, now);
        QFETCH(QStringList, columns);
        QFETCH(QVariantList, params);
        db::DataSet ds(nullptr, QStringLiteral("ds"));
        ds.addField(fieldDef(QStringLiteral("ID"), FieldType::AutoInc));
        ds.addField(fieldDef(QStringLiteral("NAME"), FieldType::String));
        ds.addField(fieldDef(QStringLiteral("PRICE"), FieldType::Currency));
        ds.addField(fieldDef(QStringLiteral("NOTE"), FieldType::String));
        ds.addField(fieldDef(QStringLiteral("TOTAL"), FieldType::Currency, db::FieldKind::Calculated));
        const QStringList table{"ID", "NAME", "PRICE", "TOTAL"}; // TOTAL: calculated, though a column too

        const db::RowChange change = db::rowChange(ds.fields(), table, QVector<QVariant>(now.begin(), now.end()),
                                                   QVector<QVariant>(before.begin(), before.end()), inserting);
        QCOMPARE(change.columns, columns);
        QVERIFY(change.autoInc == ds.findField(QStringLiteral("ID")));
        QCOMPARE(change.params.size(), params.size());
        for (int i = 0; i < params.size(); ++i)
            QCOMPARE(change.params.value(QStringLiteral("P%1").arg(i + 1)), params.at(i));
    }

    // Each column goes with its own parameter.
    void writeStatements()
    {
        db::RowChange change;
        QCOMPARE(db::insertStatement(QStringLiteral("CUSTOMER"), change),
                 QStringLiteral("insert into CUSTOMER default values"));
        change.columns = QStringList{"NAME", "PRICE"};
        QCOMPARE(db::insertStatement(QStringLiteral("CUSTOMER"), change),
                 QStringLiteral("insert into CUSTOMER (NAME, PRICE) values (:P1, :P2)"));
        QCOMPARE(db::updateStatement(QStringLiteral("CUSTOMER"), change),
                 QStringLiteral("update CUSTOMER set NAME = :P1, PRICE = :P2 where rowid = :ROWKEY"));
        QCOMPARE(db::deleteStatement(QStringLiteral("CUSTOMER")),
                 QStringLiteral("delete from CUSTOMER where rowid = :ROWKEY"));
    }

    // Lookups, locate, master links and write-back compare values by key: a value read from a computed
    // column and the same value typed or stored otherwise are one key.
    void sameKey_data()
    {
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<bool>("same");
        const QDateTime noon(QDate(2024, 3, 1), QTime(12, 0));
        QTest::newRow("integer and whole double") << QVariant(qint64(5)) << QVariant(5.0) << true;
        QTest::newRow("integer and its text") << QVariant(5) << QVariant(QStringLiteral("5")) << true;
        QTest::newRow("fraction") << QVariant(5) << QVariant(5.5) << false;
        QTest::newRow("equal amounts") << amount(12.5) << amount(12.5) << true;
        QTest::newRow("amounts an øre apart") << amount(12.5) << amount(12.51) << false;
        QTest::newRow("date-time and its stored text")
            << QVariant(noon) << QVariant(QStringLiteral("2024-03-01 12:00:00")) << true;
        // Which is why whoever compares keys compares whether there is a value, too.
        QTest::newRow("null and the empty text") << QVariant() << QVariant(QString()) << true;
    }
    void sameKey()
    {
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(bool, same);
        QCOMPARE(db::canonicalKey(a) == db::canonicalKey(b), same);
    }
};

QTEST_GUILESS_MAIN(RowsTest)
#include "tst_rows.moc"
