#pragma once

#include "datasource.h"

namespace fx::query {

class ResultTable;

// The rows of a results window as the report engine reads them, in the window's order: numbers
// as numbers, yes/no as booleans, dates as dates, empty cells of non-text fields as no value.
class ResultSource : public report::DataSource {
public:
    explicit ResultSource(const ResultTable& table) : table_(table) {}
    int count() const override;
    int fieldIndex(const QString& name) const override;
    QVariant value(int row, int field) const override;
    using DataSource::value;

private:
    const ResultTable& table_;
};

}  // namespace fx::query
