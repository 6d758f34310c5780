#include "TestSupport.h"

#include "data/DatabaseCreation.h"
#include "data/Schema.h"
#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"

#include <QFile>
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
