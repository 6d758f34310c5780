#include "Field.h"

#include "DataSet.h"
#include "Errors.h"
#include "Format.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

namespace db {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Field", text);
}

} // namespace

Field::Field(DataSet &dataSet, FieldDef def, int slot) : m_dataSet(dataSet), m_def(std::move(def)), m_slot(slot) {}

int Field::displayWidth() const
{
    if (m_def.displayWidth > 0)
        return m_def.displayWidth;
    if (isTextType(m_def.type) && m_def.size > 0)
        return m_def.size;
    switch (m_def.type) {
    case FieldType::DateTime:
        return 18;
    case FieldType::Currency:
    case FieldType::Double:
        return 12;
    case FieldType::Boolean:
        return 5;
    default:
        return 10;
    }
}

QVariant Field::value() const
{
    QVector<QVariant> *values = m_dataSet.activeValues();
    if (!values)
        return QVariant();
    if (m_def.kind == FieldKind::Lookup)
        return m_dataSet.lookupFieldValue(*this, *values);
    return values->at(m_slot);
}

bool Field::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid())
        return QString();
    if (v.typeId() == qMetaTypeId<Money>())
        return QLocale().toString(v.value<Money>().toDouble(), 'g', QLocale::FloatingPointShortest);
    if (v.typeId() == QMetaType::QDateTime)
        return Format::dateText(v.toDateTime());
    return v.toString();
}

qint64 Field::asInteger() const
{
    const QVariant v = value();
    if (v.typeId() == qMetaTypeId<Money>())
        return qint64(v.value<Money>().toDouble());
    return v.toLongLong();
}

double Field::asFloat() const
{
    const QVariant v = value();
    if (v.typeId() == qMetaTypeId<Money>())
        return v.value<Money>().toDouble();
    return v.toDouble();
}

Money Field::asMoney() const
{
    const QVariant v = value();
    if (!v.isValid())
        return Money();
    if (v.typeId() == qMetaTypeId<Money>())
        return v.value<Money>();
    return money(v.toDouble());
}

QDateTime Field::asDateTime() const
{
    return value().toDateTime();
}

bool Field::asBoolean() const
{
    return value().toBool();
}

QVariant Field::convert(const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    const bool isMoney = value.typeId() == qMetaTypeId<Money>();
    switch (m_def.type) {
    case FieldType::String:
    case FieldType::FixedString: {
        QString text = isMoney ? QString::number(value.value<Money>().toDouble(), 'g', QLocale::FloatingPointShortest)
                               : value.toString();
        if (m_def.size > 0 && text.size() > m_def.size)
            text.truncate(m_def.size - (text[m_def.size - 1].isHighSurrogate() ? 1 : 0)); // no half characters
        return text;
    }
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::AutoInc:
        return QVariant::fromValue<qint64>(isMoney ? qint64(value.value<Money>().toDouble()) : value.toLongLong());
    case FieldType::Double:
        return isMoney ? value.value<Money>().toDouble() : value.toDouble();
    case FieldType::Currency:
        return QVariant::fromValue(isMoney ? value.value<Money>() : money(value.toDouble()));
    case FieldType::DateTime: {
        QDateTime dt =
            value.typeId() == QMetaType::QDate ? QDateTime(value.toDate(), QTime(0, 0), Qt::UTC) : value.toDateTime();
        if (value.typeId() == QMetaType::QString)
            dt = parseStoredDateTime(value.toString());
        if (!dt.isValid())
            return QVariant();
        dt.setTimeSpec(Qt::UTC);
        return dt;
    }
    case FieldType::Boolean:
        return value.toBool();
    }
    return value;
}

void Field::setValue(const QVariant &newValue)
{
    const DataSet::State state = m_dataSet.state();
    if (m_def.kind == FieldKind::Lookup)
        throw Error(tr("Field '%1' cannot be modified").arg(displayName()));
    if (state == DataSet::State::CalcFields) {
        // A calculation fills the row's slots directly, without events; it may also normalise a value
        // the statement computed (a flag read back as 1 or 0).
        (*m_dataSet.activeValues())[m_slot] = convert(newValue);
        return;
    }
    if (!m_dataSet.isEditing())
        throw Error(tr("Dataset not in edit or insert mode"));
    if (m_def.readOnly)
        throw Error(tr("Field '%1' cannot be modified").arg(displayName()));
    QVector<QVariant> &values = *m_dataSet.activeValues();
    const QVariant old = values.at(m_slot);
    values[m_slot] = convert(newValue);
    if (onValidate) {
        try {
            onValidate(*this);
        } catch (...) {
            values[m_slot] = old;
            throw;
        }
    }
    m_dataSet.fieldAssigned(*this);
}

QString Field::formatValue(const QVariant &v, bool displayText) const
{
    if (!v.isValid() || v.isNull())
        return QString();
    if (showsMoney()) {
        if (v.typeId() == qMetaTypeId<Money>())
            return displayText ? Format::moneyText(v.value<Money>()) : Format::moneyEditText(v.value<Money>());
        return displayText ? Format::moneyText(v.toDouble()) : Format::moneyEditText(v.toDouble());
    }
    switch (m_def.type) {
    case FieldType::Double:
        return Format::numberText(v.toDouble(), displayText ? m_def.displayFormat : QString());
    case FieldType::DateTime:
        return displayText ? Format::dateText(v.toDateTime()) : Format::dateEditText(v.toDateTime());
    case FieldType::Boolean:
        return v.toBool() ? tr("True") : tr("False");
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::AutoInc:
        return QString::number(v.toLongLong());
    default:
        return v.toString();
    }
}

QString Field::text() const
{
    QString result = formatValue(value(), true);
    if (onGetText)
        onGetText(const_cast<Field &>(*this), result, true);
    return result;
}

QString Field::editText() const
{
    QString result = formatValue(value(), false);
    if (onGetText)
        onGetText(const_cast<Field &>(*this), result, false);
    return result;
}

void Field::setText(const QString &text)
{
    if (onSetText) {
        onSetText(*this, text);
        return;
    }
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() && !isTextType(m_def.type)) {
        setValue(QVariant());
        return;
    }
    switch (m_def.type) {
    case FieldType::String:
    case FieldType::FixedString:
        setValue(text);
        return;
    case FieldType::Double:
    case FieldType::Currency: {
        const std::optional<double> number = Format::parseDecimal(trimmed);
        if (!number || !std::isfinite(*number))
            throw Error(tr("'%1' is not a valid floating point value for field '%2'").arg(text, displayName()));
        if (m_def.type == FieldType::Currency && !Money::fits(*number))
            throw Error(tr("'%1' is beyond the largest amount field '%2' can hold").arg(text, displayName()));
        setValue(m_def.type == FieldType::Currency ? QVariant::fromValue(money(*number)) : QVariant(*number));
        return;
    }
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::AutoInc: {
        bool ok = false;
        const qint64 number = QLocale().toLongLong(trimmed, &ok);
        if (!ok)
            throw Error(tr("'%1' is not a valid integer value for field '%2'").arg(text, displayName()));
        setValue(QVariant::fromValue<qint64>(number));
        return;
    }
    case FieldType::DateTime: {
        // The date as shown while editing, or as the database file stores it.
        QDateTime dt = Format::parseDateTime(trimmed).value_or(QDateTime());
        if (!dt.isValid())
            dt = parseStoredDateTime(trimmed);
        if (!dt.isValid())
            throw Error(tr("'%1' is not a valid date").arg(text));
        setValue(dt);
        return;
    }
    case FieldType::Boolean: {
        const QString lower = trimmed.toLower();
        if (lower == tr("True").toLower() || lower == QLatin1String("1") || lower == QLatin1String("true"))
            setValue(true);
        else if (lower == tr("False").toLower() || lower == QLatin1String("0") || lower == QLatin1String("false"))
            setValue(false);
        else
            throw Error(tr("'%1' is not a valid boolean value for field '%2'").arg(text, displayName()));
        return;
    }
    }
}

} // namespace db
