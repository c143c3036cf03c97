#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace fx::report {

// The rows a report prints, first to last: each row holds named values. Field names are found
// without regard to case ("GMJG" is gmjg). The engine resolves each name once with fieldIndex
// and then reads values by index.
class DataSource {
public:
    virtual ~DataSource();

    // Number of rows.
    virtual int count() const = 0;
    // The index of a field, or -1 when the source has no such field.
    virtual int fieldIndex(const QString& name) const = 0;
    // The value of a field in a row; an invalid QVariant for a row or field out of range.
    virtual QVariant value(int row, int field) const = 0;

    // The value of a named field in a row (invalid when the name is unknown).
    QVariant value(int row, const QString& name) const;
};

// Rows held in memory: the fields are named once, then rows are appended.
class MemoryDataSource : public DataSource {
public:
    MemoryDataSource() = default;
    explicit MemoryDataSource(const QStringList& fields);

    // Adds a field to every row (existing rows get an invalid value); returns its index.
    int addField(const QString& name);
    // Appends a row; missing trailing values are invalid, extra values are ignored.
    void addRow(const QVariantList& values);
    void clear() { rows_.clear(); }

    const QStringList& fields() const { return fields_; }
    int count() const override { return int(rows_.size()); }
    int fieldIndex(const QString& name) const override;
    QVariant value(int row, int field) const override;
    using DataSource::value;

private:
    QStringList fields_;
    QHash<QString, int> index_;  // lower-case name -> index
    QList<QVariantList> rows_;
};

}  // namespace fx::report
