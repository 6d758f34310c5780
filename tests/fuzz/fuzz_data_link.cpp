// The data link file and the connection description: whatever the text, it gives a description that
// names a driver and a database, or the data link error; nothing else.

#include "core/Connection.h"
#include "core/Errors.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const db::ConnectionDescription d = db::ConnectionDescription::fromDataLinkText(
            bytes, QStringLiteral("Tessund.udl"), QStringLiteral("/srv/tessund"));
        if (d.driver.isEmpty() || d.database.isEmpty())
            std::abort();
    } catch (const Error &) {
    }
    // A connection string naming a data link file would read a file of the machine: only descriptions.
    const QString text = QString::fromUtf8(bytes);
    if (!text.startsWith(QLatin1String("FILE NAME="), Qt::CaseInsensitive)) {
        try {
            const db::ConnectionDescription d = db::ConnectionDescription::fromConnectionString(text);
            if (d.driver.isEmpty() || d.database.isEmpty())
                std::abort();
        } catch (const Error &) {
        }
    }
    return 0;
}
