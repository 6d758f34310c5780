#pragma once

#include "TestSupport.h"
#include "data/dInvoice.h"
#include "document/InvoiceComposition.h"
#include "document/qGiroF60.h"

#include <QFile>
#include <QTemporaryDir>

// A database with one customer, the business settings given, and invoices added by the tests.
struct Fixture {
    TempDatabase database;
    TdmInvoice dm{database.folder()};
    QTemporaryDir out;

    explicit Fixture(const QList<QPair<QString, QString>> &settings = {})
    {
        const QList<QPair<QString, QString>> all =
            QList<QPair<QString, QString>>{
                {QStringLiteral("NAMECOMPADDR"), QStringLiteral("Fjordlys AS\nStrandveien 14")},
                {QStringLiteral("BANKACCNO"), QStringLiteral("1234.56.78903")}} +
            settings;
        for (const auto &[key, value] : all)
            execute(QStringLiteral("insert into APPDATA (ANAME, AVALUE) values ('%1', '%2')").arg(key, value));
        seedCustomer(dm.conInvoice, {{QStringLiteral("CUST_NO"), 3},
                                     {QStringLiteral("FIRSTNAME"), QStringLiteral("Kari")},
                                     {QStringLiteral("SURNAME"), QStringLiteral("Nordmann")},
                                     {QStringLiteral("ADDRESS"), QStringLiteral("Storgata 12")},
                                     {QStringLiteral("POSTALCODE"), QStringLiteral("0150")},
                                     {QStringLiteral("POSTALADDRESS"), QStringLiteral("OSLO")},
                                     {QStringLiteral("EMAIL"), QStringLiteral("kari@example.no")}});
        dm.DBSettings.LoadBusinessSettings();
    }

    void execute(const QString &sql) { dm.conInvoice.execute(sql); }
    QVariant scalar(const QString &sql) { return dm.conInvoice.scalar(sql); }

    // Invoice 17 of Kari Nordmann with its lines; columns and values add or replace invoice columns.
    int addInvoice(const QString &columns = QString(), const QString &values = QString(),
                   const QList<SeedLine> &lines = {})
    {
        execute(
            QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, INVDATE, DUEDATE, KID, GROSSSUM, SUMVAT, "
                           "INV_TYPE%1) values (1, 17, '2026-12-10 00:00:00', '2026-12-24 00:00:00', '123456', 0, 0, "
                           "'N'%2)")
                .arg(columns.isEmpty() ? QString() : QStringLiteral(", ") + columns,
                     values.isEmpty() ? QString() : QStringLiteral(", ") + values));
        const int id = scalar(QStringLiteral("select max(INV_ID) from INVOICE")).toInt();
        seedLines(dm.conInvoice, id, lines);
        return id;
    }

    QString pdf(int id)
    {
        const QString path = out.filePath(QStringLiteral("invoice%1.pdf").arg(id));
        QFile::remove(path);
        if (!ExportInvoicePdf(id, path))
            return QString();
        return path;
    }
};

inline QString caption(TfrmGiroF60 &giro, const char *name)
{
    return giro.qrGiro.element<report::Label>(QLatin1String(name)).caption;
}

inline QStringList memoLines(TfrmGiroF60 &giro, const char *name)
{
    return giro.qrGiro.element<report::Memo>(QLatin1String(name)).lines;
}

inline QString nb(const char *text)
{
    return QString::fromUtf8(text).replace(QLatin1Char(' '), QChar(0xA0));
}
