#include "DatabaseCreation.h"

#include "LineAmounts.h"
#include "Schema.h"
#include "core/Clock.h"
#include "core/Connection.h"
#include "core/Errors.h"
#include "core/Value.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DatabaseCreation", text);
}

} // namespace

void createSchema(db::Connection &connection)
{
    for (const QString &statement : Schema::creationStatements())
        connection.execute(statement);
}

void loadPostalRegister(db::Connection &connection)
{
    QFile file(QStringLiteral(":/resources/postnummer.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Error(tr("The postal code register is missing from the program"));
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    db::Statement insert(connection,
                         QStringLiteral("insert into POSTALADDR (POSTALCODE, POSTALADDRESS) values (:CODE, :PLACE)"));
    bool header = true;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (header) {
            header = false;
            continue;
        }
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() < 2)
            continue;
        insert.reset();
        insert.bind(QStringLiteral("CODE"), parts.at(0).trimmed());
        insert.bind(QStringLiteral("PLACE"), parts.at(1).trimmed());
        insert.step();
    }
}

namespace {

// The sample business: a consulting and service firm with a dozen customers, a small catalogue and two
// years of invoices.

struct DemoCustomer {
    const char *firstName, *surname, *address, *postalCode, *phone, *email, *status;
};

const DemoCustomer demoCustomers[] = {
    {"Kari", "Nordmann", "Storgata 12", "0150", "22 33 44 55", "kari.nordmann@example.no", "Fast"},
    {"Ola", "Hansen", "Bryggen 4", "5003", "55 12 34 56", "ola.hansen@example.no", ""},
    {"Ingrid", "Johansen", "Munkegata 20", "7010", "73 50 60 70", "ingrid@example.no", "Fast"},
    {"Lars", "Olsen", "Kirkegata 7", "4006", "51 80 90 10", "lars.olsen@example.no", ""},
    {"Solveig", "Larsen", "Storgata 88", "9008", "77 60 11 22", "solveig.larsen@example.no", "Ny"},
    {"Per", "Andersen", "Torggata 3", "2317", "62 52 10 20", "", ""},
    {"Marit", "Pedersen", "Bragernes torg 1", "3015", "32 80 45 67", "marit.pedersen@example.no", ""},
    {"Bjørn", "Nilsen", "Sjøgata 15", "8006", "75 52 30 40", "bjorn.nilsen@example.no", "Fast"},
    {"Anne", "Kristiansen", "Dronningens gate 9", "1530", "69 25 11 00", "", "Ny"},
    {"Håkon", "Jensen", "Kongens gate 25", "6002", "70 12 34 00", "hakon.jensen@example.no", ""},
    {"Astrid", "Karlsen", "Markens gate 30", "4608", "38 07 20 30", "astrid.karlsen@example.no", ""},
    {"Øystein", "Berg", "Storgata 50", "2609", "61 25 70 80", "oystein.berg@example.no", "Fast"},
};

struct DemoItem {
    const char *code, *description;
    double price;
    double vat;
};

const DemoItem demoItems[] = {
    {"KONS-T", "Konsulenttime", 950.00, 25},
    {"KONS-H", "Konsulenttime, helg", 1425.00, 25},
    {"REISE", "Reisetid per time", 475.00, 25},
    {"KM", "Kjøregodtgjørelse per km", 4.50, 0},
    {"INST", "Installasjon av utstyr", 1200.00, 25},
    {"SERV", "Serviceavtale per måned", 399.00, 25},
    {"KABEL-5", "Nettverkskabel 5 m", 89.00, 25},
    {"RUTER", "Trådløs ruter", 1490.00, 25},
    {"SKJERM", "Skjerm 27 tommer", 2990.00, 25},
    {"MUS", "Trådløs mus", 249.00, 25},
    {"KAFFE", "Kaffe 500 g", 89.90, 15},
    {"VANN", "Mineralvann 0,5 l", 19.90, 15},
    {"LUNSJ", "Lunsjtallerken", 145.00, 15},
    {"KAKE", "Bløtkake til 12", 420.00, 15},
    {"FRAKT", "Frakt innenlands", 150.00, 25},
    {"TAXI", "Persontransport", 380.00, 12},
    {"HOTELL", "Overnatting per natt", 1150.00, 12},
    {"BOK", "Håndbok, trykt", 349.00, 0},
    {"KURS", "Kursdag per deltaker", 2500.00, 0},
    {"GEBYR", "Fakturagebyr", 45.00, 0},
};

const std::pair<const char *, const char *> demoSettings[] = {
    {"NAMECOMPADDR", "Fjordlys Service AS\nStrandveien 14\n0250 OSLO"},
    {"COMPDETAIL", "Org.nr.|987 654 321 MVA\nTelefon|22 11 00 99\nE-post|post@fjordlys.example.no"},
    {"BANKACCNO", "1234.56.78903"},
    {"DEFAULTTAX", "25"},
    {"CREDITDAYS", "14"},
};

// An invoice of the sample business; its date comes from day (see the two tables), its lines from the
// catalogue in a fixed order (DemoLines).
struct DemoInvoice {
    int day;
    char kind;       // N invoice, C credit note, R reminder, F final notice
    int customer;    // CUST_NO
    int lines;       // how many
    bool printed;    // has a print date
    bool forgotten;  // left unpaid although long due
    int paidEarly;   // days before the due date it was paid, when it was
    double discount; // percent off its second line
};

// Last year: one invoice every 22 days from 10 January (day: days after 1 January). The old ones are paid,
// apart from a reminder, a final notice and one forgotten.
const DemoInvoice lastYearInvoices[] = {
    {10, 'N', 1, 1, true, false, 0, 0},   {32, 'N', 6, 4, true, false, 1, 0},   {54, 'N', 11, 2, true, false, 2, 0},
    {76, 'N', 4, 5, false, false, 3, 0},  {98, 'N', 9, 3, true, true, 4, 10},   {120, 'N', 2, 1, true, false, 0, 0},
    {142, 'C', 7, 4, true, false, 1, 0},  {164, 'N', 12, 2, true, false, 2, 0}, {186, 'N', 5, 5, true, false, 3, 10},
    {208, 'R', 10, 3, true, false, 4, 0}, {230, 'N', 3, 1, false, false, 0, 0}, {252, 'N', 8, 4, true, false, 1, 0},
    {274, 'N', 1, 2, true, false, 2, 10}, {296, 'F', 6, 5, true, false, 3, 0},  {318, 'N', 11, 3, true, false, 4, 0},
    {340, 'N', 4, 1, true, false, 0, 0},
};

// This year: fourteen spread evenly from 1 January up to today (day: thirteenths of the days so far), so
// the newest are not yet due.
const DemoInvoice thisYearInvoices[] = {
    {0, 'N', 9, 4, true, false, 1, 10},  {1, 'N', 2, 2, false, false, 2, 0},  {2, 'N', 7, 5, true, false, 3, 0},
    {3, 'N', 12, 3, true, true, 4, 0},   {4, 'N', 5, 1, true, false, 0, 0},   {5, 'R', 10, 4, true, false, 1, 0},
    {6, 'N', 3, 2, true, false, 2, 0},   {7, 'N', 8, 5, true, false, 3, 0},   {8, 'C', 1, 3, false, false, 4, 10},
    {9, 'N', 6, 1, true, false, 0, 0},   {10, 'F', 11, 4, true, false, 1, 0}, {11, 'N', 4, 2, true, false, 2, 0},
    {12, 'N', 9, 5, true, false, 3, 10}, {13, 'N', 2, 3, true, false, 4, 0},
};

// The invoices' lines: catalogue items and quantities in a fixed pseudo-random order that runs on from
// one invoice to the next.
class DemoLines {
public:
    struct Line {
        const DemoItem &item;
        double num;
    };
    Line next()
    {
        m_seed = (m_seed * 37 + 11) % 101;
        return {demoItems[m_seed % std::size(demoItems)], double(1 + m_seed % 6)};
    }

private:
    int m_seed = 7;
};

// A KID with a MOD10 (Luhn) check digit, as banks accept on the payment slip.
QString kidFor(int customerNo, int invoiceNo, int year)
{
    QString digits = QStringLiteral("%1%2%3")
                         .arg(year % 100, 2, 10, QLatin1Char('0'))
                         .arg(customerNo, 4, 10, QLatin1Char('0'))
                         .arg(invoiceNo, 4, 10, QLatin1Char('0'));
    int sum = 0;
    bool doubleIt = true;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        int d = digits.at(i).digitValue();
        if (doubleIt) {
            d *= 2;
            if (d > 9)
                d -= 9;
        }
        sum += d;
        doubleIt = !doubleIt;
    }
    return digits + QString::number((10 - sum % 10) % 10);
}

void insertDemoCustomer(db::Connection &connection, int number, const DemoCustomer &c)
{
    const QVariant place =
        connection.scalar(QStringLiteral("select POSTALADDRESS from POSTALADDR where POSTALCODE = :CODE"),
                          {{QStringLiteral("CODE"), QString::fromLatin1(c.postalCode)}});
    connection.execute(QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME, ADDRESS, POSTALCODE, "
                                      "POSTALADDRESS, PHONE1, EMAIL, STATUS) values (:NO, :FIRST, :SUR, :ADDR, "
                                      ":CODE, :PLACE, :PHONE, :EMAIL, :STATUS)"),
                       {{QStringLiteral("NO"), number},
                        {QStringLiteral("FIRST"), QString::fromUtf8(c.firstName)},
                        {QStringLiteral("SUR"), QString::fromUtf8(c.surname)},
                        {QStringLiteral("ADDR"), QString::fromUtf8(c.address)},
                        {QStringLiteral("CODE"), QString::fromLatin1(c.postalCode)},
                        {QStringLiteral("PLACE"), place},
                        {QStringLiteral("PHONE"), QString::fromLatin1(c.phone)},
                        {QStringLiteral("EMAIL"), QString::fromLatin1(c.email)},
                        {QStringLiteral("STATUS"), QString::fromUtf8(c.status)}});
}

void insertDemoItem(db::Connection &connection, const DemoItem &item)
{
    connection.execute(QStringLiteral("insert into DYNAITEM (ITEM_NO, ITEM_DESC, NETPRICE, VAT) values (:NO, "
                                      ":DESC, :PRICE, :VAT)"),
                       {{QStringLiteral("NO"), QString::fromUtf8(item.code)},
                        {QStringLiteral("DESC"), QString::fromUtf8(item.description)},
                        {QStringLiteral("PRICE"), QVariant::fromValue(money(item.price))},
                        {QStringLiteral("VAT"), item.vat}});
}

// Inserts the invoice's lines and returns their totals; a credit note takes one of each back.
InvoiceTotals insertDemoLines(db::Connection &connection, qint64 invoiceId, const DemoInvoice &invoice,
                              DemoLines &lines)
{
    InvoiceTotals totals;
    for (int line = 1; line <= invoice.lines; ++line) {
        const DemoLines::Line drawn = lines.next();
        const DemoItem &item = drawn.item;
        const double num = invoice.kind == 'C' ? -1 : drawn.num;
        const double discount = line == 2 ? invoice.discount : 0;
        const Money price = money(item.price);
        totals.add(lineAmounts(num, price, item.vat, discount));
        connection.execute(QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, ITEM_NO, ITEM_DESC, NUM, "
                                          "NETPRICE, VAT, DISCOUNT) values (:INV, :ID, :NO, :DESC, :NUM, "
                                          ":PRICE, :VAT, :DISC)"),
                           {{QStringLiteral("INV"), invoiceId},
                            {QStringLiteral("ID"), line},
                            {QStringLiteral("NO"), QString::fromUtf8(item.code)},
                            {QStringLiteral("DESC"), QString::fromUtf8(item.description)},
                            {QStringLiteral("NUM"), num},
                            {QStringLiteral("PRICE"), QVariant::fromValue(price)},
                            {QStringLiteral("VAT"), item.vat},
                            {QStringLiteral("DISC"), discount}});
    }
    return totals;
}

// numberInYear: its INVOICE_NO. Paid is everything due more than a month before today except the
// reminders, notices and the forgotten ones; a credit note is settled on its date.
void insertDemoInvoice(db::Connection &connection, const DemoInvoice &invoice, const QDate &date, int numberInYear,
                       const QDate &today, DemoLines &lines)
{
    const QDate due = date.addDays(14);
    const bool old = due.daysTo(today) > 30;
    const bool paid = invoice.kind == 'C' || (old && invoice.kind == 'N' && !invoice.forgotten);
    const QDate paidDate = invoice.kind == 'C' ? date : due.addDays(-invoice.paidEarly);
    connection.execute(
        QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, INVDATE, DUEDATE, PRINTDATE, KID, GROSSSUM, "
                       "SUMVAT, OURREF, YOURREF, INV_TYPE) values (:CUST, :NO, :DATE, :DUE, :PRINTED, :KID, 0, 0, "
                       ":OUR, :YOUR, :KIND)"),
        {{QStringLiteral("CUST"), invoice.customer},
         {QStringLiteral("NO"), numberInYear},
         {QStringLiteral("DATE"), wallClock(date)},
         {QStringLiteral("DUE"), wallClock(due)},
         {QStringLiteral("PRINTED"), invoice.printed ? QVariant(wallClock(date)) : QVariant()},
         {QStringLiteral("KID"), kidFor(invoice.customer, numberInYear, date.year())},
         {QStringLiteral("OUR"), QStringLiteral("Fjordlys")},
         {QStringLiteral("YOUR"), QString::fromUtf8(demoCustomers[invoice.customer - 1].firstName)},
         {QStringLiteral("KIND"), QString(QLatin1Char(invoice.kind))}});
    const qint64 invoiceId = connection.scalar(QStringLiteral("select last_insert_rowid()")).toLongLong();

    const InvoiceTotals totals = insertDemoLines(connection, invoiceId, invoice, lines);
    connection.execute(QStringLiteral("update INVOICE set GROSSSUM = :GROSS, SUMVAT = :VAT, PAIDDATE = :PAIDDATE, "
                                      "SUMPAID = :PAID where INV_ID = :ID"),
                       {{QStringLiteral("GROSS"), QVariant::fromValue(totals.gross)},
                        {QStringLiteral("VAT"), QVariant::fromValue(totals.vat)},
                        {QStringLiteral("PAIDDATE"), paid ? QVariant(wallClock(paidDate)) : QVariant()},
                        {QStringLiteral("PAID"), paid ? QVariant::fromValue(totals.gross) : QVariant()},
                        {QStringLiteral("ID"), invoiceId}});
}

} // namespace

void addDemoData(db::Connection &connection)
{
    for (int i = 0; i < int(std::size(demoCustomers)); ++i)
        insertDemoCustomer(connection, i + 1, demoCustomers[i]);
    for (const DemoItem &item : demoItems)
        insertDemoItem(connection, item);
    for (const auto &[key, value] : demoSettings)
        connection.execute(
            QStringLiteral("insert into APPDATA (ANAME, AVALUE) values (:K, :V)"),
            {{QStringLiteral("K"), QString::fromUtf8(key)}, {QStringLiteral("V"), QString::fromUtf8(value)}});

    // Dated around today; the numbers start at 1 in each year.
    const QDate today = Clock::today();
    const QDate lastYearStart(today.year() - 1, 1, 1);
    const QDate thisYearStart(today.year(), 1, 1);
    const int daysThisYear = int(thisYearStart.daysTo(today));
    DemoLines lines;
    int number = 0;
    for (const DemoInvoice &invoice : lastYearInvoices)
        insertDemoInvoice(connection, invoice, lastYearStart.addDays(invoice.day), ++number, today, lines);
    number = 0;
    for (const DemoInvoice &invoice : thisYearInvoices)
        insertDemoInvoice(connection, invoice, thisYearStart.addDays(daysThisYear * invoice.day / 13), ++number, today,
                          lines);
}

void createDatabase(const QString &path, bool demo)
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        throw Error(tr("%1 already exists; it was left as it is").arg(path));
    const QDir folder = target.absoluteDir();
    if (!folder.exists())
        throw Error(tr("The folder %1 does not exist").arg(folder.path()));

    // Built under a temporary name and moved into place only when complete.
    QTemporaryFile part(folder.filePath(QStringLiteral(".%1-XXXXXX").arg(target.fileName())));
    if (!part.open())
        throw Error(tr("Cannot create a file in %1: %2").arg(folder.path(), part.errorString()));
    part.close();
    {
        db::Connection connection(QStringLiteral("create-db"));
        connection.description = db::ConnectionDescription::sqliteFile(part.fileName());
        connection.createsDatabase = true;
        connection.open();
        connection.beginTransaction();
        try {
            createSchema(connection);
            loadPostalRegister(connection);
            if (demo)
                addDemoData(connection);
            connection.execute(QStringLiteral("PRAGMA user_version = 1"));
            connection.commit();
        } catch (...) {
            connection.rollback();
            throw;
        }
    }
    // link() refuses an existing name, so a file that appeared meanwhile is not replaced.
    const QByteArray from = QFile::encodeName(part.fileName());
    const QByteArray to = QFile::encodeName(target.absoluteFilePath());
    if (::link(from.constData(), to.constData()) != 0) {
        const int error = errno;
        if (error == EEXIST)
            throw Error(tr("%1 already exists; it was left as it is").arg(path));
        throw Error(tr("Cannot create %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error))));
    }
}
