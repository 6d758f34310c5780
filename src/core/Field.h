#pragma once

#include "Value.h"

#include <QString>
#include <QVariant>

#include <functional>

namespace db {

class DataSet;

enum class FieldKind {
    Data,       // a column of the statement's result
    Calculated, // computed by the dataset's onCalcFields for each row, never stored
    Lookup      // taken from another dataset by key
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0; // width of a text field in characters; 0: no limit
    QString label;
    QString displayFormat; // "0.#%", "0%"
    bool required = false;
    bool readOnly = false;
    bool visible = true;
    bool currency = false; // a double shown as money
    int displayWidth = 0;  // characters, for grids; 0: from the size or type
    FieldKind kind = FieldKind::Data;
    // Lookup fields: the value of lookupResultField in lookupDataSet on the row whose lookupKeyField
    // equals this dataset's keyField.
    DataSet *lookupDataSet = nullptr;
    QString keyField;
    QString lookupKeyField;
    QString lookupResultField;
};

class Field {
public:
    Field(DataSet &dataSet, FieldDef def, int slot);

    const FieldDef &def() const { return m_def; }
    const QString &name() const { return m_def.name; }
    FieldType type() const { return m_def.type; }
    FieldKind kind() const { return m_def.kind; }
    int size() const { return m_def.size; }
    bool isRequired() const { return m_def.required; }
    bool isReadOnly() const { return m_def.readOnly; }
    bool isVisible() const { return m_def.visible; }
    bool isCalculated() const { return m_def.kind != FieldKind::Data; }
    bool showsMoney() const { return m_def.type == FieldType::Currency || m_def.currency; }
    int displayWidth() const;
    // The label, or the name when there is none: the name the user reads in messages.
    QString displayName() const { return m_def.label.isEmpty() ? m_def.name : m_def.label; }
    void setLabel(const QString &label) { m_def.label = label; }
    void setDisplayFormat(const QString &format) { m_def.displayFormat = format; }
    void setVisible(bool visible) { m_def.visible = visible; }
    void setDisplayWidth(int width) { m_def.displayWidth = width; }
    void setReadOnly(bool readOnly) { m_def.readOnly = readOnly; }
    void setRequired(bool required) { m_def.required = required; }
    DataSet &dataSet() const { return m_dataSet; }
    int slot() const { return m_slot; }

    QVariant value() const;
    bool isNull() const;
    QString asString() const;
    qint64 asInteger() const; // integers and ids are 64-bit, as the database holds them
    double asFloat() const;
    Money asMoney() const;
    QDateTime asDateTime() const;
    bool asBoolean() const;

    // Assigns a value of the current record (the dataset must be editing it). The value is converted to
    // the field's type and a text is cut to the field's width; onValidate may refuse it, in which case
    // the old value stays. onChange follows.
    void setValue(const QVariant &value);
    void clear() { setValue(QVariant()); }
    // The text shown in grids and labels, and the text while editing.
    QString text() const;
    QString editText() const;
    // Assigns from the user's text: through onSetText when set, else converted by the field's type.
    // A text that does not convert is refused with the field layer's message.
    void setText(const QString &text);

    std::function<void(Field &, QString &text, bool displayText)> onGetText;
    std::function<void(Field &, const QString &text)> onSetText;
    std::function<void(Field &)> onValidate;
    std::function<void(Field &)> onChange;

    // The value converted to this field's type, without assigning it.
    QVariant convert(const QVariant &value) const;
    QString formatValue(const QVariant &value, bool displayText) const;

private:
    DataSet &m_dataSet;
    FieldDef m_def;
    int m_slot;
};

} // namespace db
