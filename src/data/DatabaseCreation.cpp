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

struct DemoCustomer {
    const char *firstName, *surname, *address, *postalCode, *phone, *email, *status;
};

struct DemoItem {
    const char *code, *description;
    double price;
    double vat;
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

} // namespace

void addDemoData(db::Connection &connection)
{
    static const DemoCustomer customers[] = {
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
    static const DemoItem items[] = {
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

    for (int i = 0; i < int(std::size(customers)); ++i) {
        const DemoCustomer &c = customers[i];
        const QVariant place =
            connection.scalar(QStringLiteral("select POSTALADDRESS from POSTALADDR where POSTALCODE = :CODE"),
                              {{QStringLiteral("CODE"), QString::fromLatin1(c.postalCode)}});
        connection.execute(QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME, ADDRESS, POSTALCODE, "
                                          "POSTALADDRESS, PHONE1, EMAIL, STATUS) values (:NO, :FIRST, :SUR, :ADDR, "
                                          ":CODE, :PLACE, :PHONE, :EMAIL, :STATUS)"),
                           {{QStringLiteral("NO"), i + 1},
                            {QStringLiteral("FIRST"), QString::fromUtf8(c.firstName)},
                            {QStringLiteral("SUR"), QString::fromUtf8(c.surname)},
                            {QStringLiteral("ADDR"), QString::fromUtf8(c.address)},
                            {QStringLiteral("CODE"), QString::fromLatin1(c.postalCode)},
                            {QStringLiteral("PLACE"), place},
                            {QStringLiteral("PHONE"), QString::fromLatin1(c.phone)},
                            {QStringLiteral("EMAIL"), QString::fromLatin1(c.email)},
                            {QStringLiteral("STATUS"), QString::fromUtf8(c.status)}});
    }
    for (const DemoItem &item : items)
        connection.execute(QStringLiteral("insert into DYNAITEM (ITEM_NO, ITEM_DESC, NETPRICE, VAT) values (:NO, "
                                          ":DESC, :PRICE, :VAT)"),
                           {{QStringLiteral("NO"), QString::fromUtf8(item.code)},
                            {QStringLiteral("DESC"), QString::fromUtf8(item.description)},
                            {QStringLiteral("PRICE"), QVariant::fromValue(money(item.price))},
                            {QStringLiteral("VAT"), item.vat}});

    const QList<QPair<QString, QString>> settings = {
        {QStringLiteral("NAMECOMPADDR"), QStringLiteral("Fjordlys Service AS\nStrandveien 14\n0250 OSLO")},
        {QStringLiteral("COMPDETAIL"),
         QStringLiteral("Org.nr.|987 654 321 MVA\nTelefon|22 11 00 99\nE-post|post@fjordlys.example.no")},
        {QStringLiteral("BANKACCNO"), QStringLiteral("1234.56.78903")},
        {QStringLiteral("DEFAULTTAX"), QStringLiteral("25")},
        {QStringLiteral("CREDITDAYS"), QStringLiteral("14")},
    };
    for (const auto &[key, value] : settings)
        connection.execute(QStringLiteral("insert into APPDATA (ANAME, AVALUE) values (:K, :V)"),
                           {{QStringLiteral("K"), key}, {QStringLiteral("V"), value}});

    // Thirty invoices: sixteen over last year, fourteen from 1 January up to today. The older ones are
    // paid, apart from a few that drew a reminder or a final notice; the newest are not yet due.
    const QDate today = Clock::today();
    const QDate lastYearStart(today.year() - 1, 1, 1);
    const QDate thisYearStart(today.year(), 1, 1);
    const int daysThisYear = int(thisYearStart.daysTo(today));
    struct Planned {
        QDate date;
        char kind;
    };
    std::vector<Planned> plan;
    for (int i = 0; i < 16; ++i) {
        const char kind = i == 9 ? 'R' : i == 13 ? 'F' : i == 6 ? 'C' : 'N';
        plan.push_back({lastYearStart.addDays(10 + i * 22), kind});
    }
    for (int i = 0; i < 14; ++i) {
        const char kind = i == 5 ? 'R' : i == 8 ? 'C' : i == 10 ? 'F' : 'N';
        plan.push_back({thisYearStart.addDays(daysThisYear * i / 13), kind});
    }

    int numberInYear = 0, year = 0, lineSeed = 7;
    for (int n = 0; n < int(plan.size()); ++n) {
        const Planned &p = plan[n];
        if (p.date.year() != year) {
            year = p.date.year();
            numberInYear = 0;
        }
        ++numberInYear;
        const int customer = (n * 5) % int(std::size(customers)) + 1;
        const QDate due = p.date.addDays(14);
        // Paid: everything due more than a month ago except the reminders, notices and two forgotten ones.
        const bool old = due.daysTo(today) > 30;
        const bool paid = p.kind == 'C' || (old && p.kind == 'N' && n != 4 && n != 19);
        const QDate paidDate = p.kind == 'C' ? p.date : due.addDays(-(n % 5));
        const QString kid = kidFor(customer, numberInYear, year);

        connection.execute(
            QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, INVDATE, DUEDATE, PRINTDATE, KID, GROSSSUM, "
                           "SUMVAT, OURREF, YOURREF, INV_TYPE) values (:CUST, :NO, :DATE, :DUE, :PRINTED, :KID, 0, 0, "
                           ":OUR, :YOUR, :KIND)"),
            {{QStringLiteral("CUST"), customer},
             {QStringLiteral("NO"), numberInYear},
             {QStringLiteral("DATE"), wallClock(p.date)},
             {QStringLiteral("DUE"), wallClock(due)},
             {QStringLiteral("PRINTED"), n % 7 == 3 ? QVariant() : QVariant(wallClock(p.date))},
             {QStringLiteral("KID"), kid},
             {QStringLiteral("OUR"), QStringLiteral("Fjordlys")},
             {QStringLiteral("YOUR"), QString::fromUtf8(customers[customer - 1].firstName)},
             {QStringLiteral("KIND"), QString(QLatin1Char(p.kind))}});
        const qint64 invoiceId = connection.scalar(QStringLiteral("select last_insert_rowid()")).toLongLong();

        InvoiceTotals totals;
        const int lineCount = 1 + (n * 3) % 5;
        for (int line = 1; line <= lineCount; ++line) {
            lineSeed = (lineSeed * 37 + 11) % 101;
            const DemoItem &item = items[lineSeed % std::size(items)];
            double num = 1 + (lineSeed % 6);
            if (p.kind == 'C')
                num = -1;
            const double discount = (line == 2 && n % 4 == 0) ? 10 : 0;
            const Money price = money(item.price);
            const LineAmounts amounts = lineAmounts(num, price, item.vat, discount);
            totals.add(amounts);
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
        connection.execute(QStringLiteral("update INVOICE set GROSSSUM = :GROSS, SUMVAT = :VAT, PAIDDATE = :PAIDDATE, "
                                          "SUMPAID = :PAID where INV_ID = :ID"),
                           {{QStringLiteral("GROSS"), QVariant::fromValue(totals.gross)},
                            {QStringLiteral("VAT"), QVariant::fromValue(totals.vat)},
                            {QStringLiteral("PAIDDATE"), paid ? QVariant(wallClock(paidDate)) : QVariant()},
                            {QStringLiteral("PAID"), paid ? QVariant::fromValue(totals.gross) : QVariant()},
                            {QStringLiteral("ID"), invoiceId}});
    }
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
