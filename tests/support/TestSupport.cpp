#include "TestSupport.h"

#include "core/Connection.h"
#include "core/DataSet.h"
#include "core/Errors.h"
#include "data/DatabaseCreation.h"
#include "data/Schema.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

TempDatabase::TempDatabase(bool demo, const QString &fileName) : m_path(m_dir.filePath(fileName))
{
    createDatabase(m_path, demo);
}

QByteArray TempDatabase::contents() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

MessageAnswers::MessageAnswers()
{
    m_previous = setMessageHandler([this](const MessageRequest &request) {
        m_shown << request;
        if (!m_answers.empty()) {
            const MsgAnswer answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        return request.buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Yes;
    });
}

MessageAnswers::~MessageAnswers()
{
    setMessageHandler(std::move(m_previous));
}

QStringList MessageAnswers::texts() const
{
    QStringList result;
    for (const MessageRequest &r : m_shown)
        result << r.text;
    return result;
}

void useTemporarySettings()
{
    static QTemporaryDir dir;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
}

std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(QStringLiteral("Halvgard"), QStringLiteral("Tessund"));
}

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &e) {
        return e.message();
    }
    return QString();
}

std::unique_ptr<db::DataSet> tableDataSet(db::Connection &connection, const QString &table)
{
    auto ds = std::make_unique<db::DataSet>(&connection, table);
    ds->setTable(table);
    for (const Schema::Column &c : Schema::table(table).columns)
        ds->addField(Schema::fieldDef(table, QLatin1String(c.name)));
    return ds;
}

namespace {

int insertRow(db::Connection &connection, const QString &table, const QString &key, const QVariantMap &columns)
{
    QStringList names, placeholders;
    QVariantHash values;
    for (auto it = columns.begin(); it != columns.end(); ++it) {
        names << it.key();
        placeholders << QLatin1Char(':') + it.key();
        values.insert(it.key(), it.value());
    }
    connection.execute(QStringLiteral("insert into %1 (%2) values (%3)")
                           .arg(table, names.join(QLatin1String(", ")), placeholders.join(QLatin1String(", "))),
                       values);
    return connection.scalar(QStringLiteral("select max(%1) from %2").arg(key, table)).toInt();
}

} // namespace

int seedCustomer(db::Connection &connection, const QVariantMap &columns)
{
    return insertRow(connection, QStringLiteral("CUSTOMER"), QStringLiteral("CUST_ID"), columns);
}

int seedItem(db::Connection &connection, const QVariantMap &columns)
{
    return insertRow(connection, QStringLiteral("DYNAITEM"), QStringLiteral("rowid"), columns);
}

int seedInvoice(db::Connection &connection, const QVariantMap &columns, const QList<SeedLine> &lines)
{
    QVariantMap row = columns;
    row.insert(QStringLiteral("GROSSSUM"), QVariant::fromValue(Money()));
    row.insert(QStringLiteral("SUMVAT"), QVariant::fromValue(Money()));
    const int id = insertRow(connection, QStringLiteral("INVOICE"), QStringLiteral("INV_ID"), row);
    seedLines(connection, id, lines);
    return id;
}

void seedLines(db::Connection &connection, int invoiceId, const QList<SeedLine> &lines)
{
    int n = connection.scalar(QStringLiteral("select count(*) from INVITEM where INV_ID = %1").arg(invoiceId)).toInt();
    for (const SeedLine &line : lines) {
        ++n;
        connection.execute(
            QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, ITEM_NO, ITEM_DESC, NUM, NETPRICE, VAT, "
                           "DISCOUNT) values (:I, :N, :NO, :T, :Q, :P, :V, :D)"),
            {{QStringLiteral("I"), invoiceId},
             {QStringLiteral("N"), n},
             {QStringLiteral("NO"), QStringLiteral("A%1").arg(n)},
             {QStringLiteral("T"), line.description.isEmpty() ? QStringLiteral("Vare %1").arg(n) : line.description},
             {QStringLiteral("Q"), line.num},
             {QStringLiteral("P"), QVariant::fromValue(money(line.price))},
             {QStringLiteral("V"), line.vat},
             {QStringLiteral("D"), line.discount}});
    }
    const InvoiceTotals totals = storedLineTotals(connection, invoiceId);
    connection.execute(QStringLiteral("update INVOICE set GROSSSUM = :G, SUMVAT = :V where INV_ID = :I"),
                       {{QStringLiteral("G"), QVariant::fromValue(totals.gross)},
                        {QStringLiteral("V"), QVariant::fromValue(totals.vat)},
                        {QStringLiteral("I"), invoiceId}});
}

InvoiceTotals storedLineTotals(db::Connection &connection, int invoiceId)
{
    InvoiceTotals totals;
    db::Statement lines(connection,
                        QStringLiteral("select NUM, NETPRICE, VAT, DISCOUNT from INVITEM where INV_ID = :I"));
    lines.bind(QStringLiteral("I"), invoiceId);
    while (lines.step()) {
        auto number = [&](int column) { return lines.rawValue(column).toDouble(); };
        totals.add(lineAmounts(number(0), Money::fromUnits(lines.rawValue(1).toLongLong()), number(2), number(3)));
    }
    return totals;
}

ProcessRun runProcess(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool ended = process.waitForFinished(120000);
    return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}
