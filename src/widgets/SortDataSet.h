#pragma once

#include <QString>

namespace db {
class DataSet;
}

// Reorders the rows the dataset has already loaded by one of its fields, ascending, keeping the current
// row; the query is not run again. An empty name goes back to the order of the query result. False, with
// nothing changed and nothing said, when the dataset is not open or the field is not one the query returns
// (one the program calculates).
bool SortDataSet(db::DataSet *dataSet, const QString &fieldName);
