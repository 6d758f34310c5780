#include "InvoiceTable.h"

#include "qGiroF60.h"

#include <QStringList>

namespace InvoiceTable {

void addColumns(TfrmGiroF60 &giro)
{
    for (const ColumnDef &c : columns)
        giro.AddColumn(QString::fromUtf8(c.caption), c.widthPx, c.alignment);
}

QString rowText(const Row &values)
{
    QStringList texts;
    for (const QString &value : values)
        texts << report::splitLines(value).join(QChar(0x2028));
    return texts.join(QLatin1String("\r\n"));
}

QString totalRowText(const QString &caption, const QString &amount)
{
    Row values;
    values[Vat] = caption;
    values[Net] = amount;
    return rowText(values);
}

} // namespace InvoiceTable
