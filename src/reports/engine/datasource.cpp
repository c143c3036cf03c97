#include "datasource.h"

namespace fx::report {

DataSource::~DataSource() = default;

QVariant DataSource::value(int row, const QString& name) const {
    const int field = fieldIndex(name);
    if (field < 0) return {};
    return value(row, field);
}

MemoryDataSource::MemoryDataSource(const QStringList& fields) {
    for (const QString& f : fields) addField(f);
}

int MemoryDataSource::addField(const QString& name) {
    const QString key = name.toLower();
    const auto it = index_.constFind(key);
    if (it != index_.constEnd()) return it.value();
    const int index = int(fields_.size());
    fields_.append(name);
    index_.insert(key, index);
    return index;
}

void MemoryDataSource::addRow(const QVariantList& values) {
    QVariantList row = values.mid(0, fields_.size());
    while (row.size() < fields_.size()) row.append(QVariant());
    rows_.append(row);
}

int MemoryDataSource::fieldIndex(const QString& name) const {
    return index_.value(name.toLower(), -1);
}

QVariant MemoryDataSource::value(int row, int field) const {
    if (row < 0 || row >= rows_.size()) return {};
    const QVariantList& r = rows_.at(row);
    if (field < 0 || field >= r.size()) return {};
    return r.at(field);
}

}  // namespace fx::report
