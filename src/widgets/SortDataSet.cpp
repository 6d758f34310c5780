#include "SortDataSet.h"

#include "core/DataSet.h"

bool SortDataSet(db::DataSet *dataSet, const QString &fieldName)
{
    if (!dataSet || !dataSet->isActive())
        return false;
    try {
        if (!fieldName.isEmpty()) {
            const db::Field *field = dataSet->findField(fieldName);
            if (!field || field->kind() == db::FieldKind::Calculated)
                return false;
        }
        dataSet->sort(fieldName);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}
