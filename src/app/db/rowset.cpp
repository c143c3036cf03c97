#include "rowset.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>

#include "dberror.h"
#include "engine.h"
#include "jettranslator.h"

namespace fx::db {

namespace {

// The hidden first column through which a single-table row set knows its rows.
const char kRowidAlias[] = "fx_rowid__";

QVariant integerValue(qint64 v) {
    if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()) {
        return QVariant(int(v));
    }
    return QVariant(qlonglong(v));
}

// Reads 'yyyy-mm-dd' (a time after it is ignored) from UTF-8 bytes without building a string.
QDate parseDate(const char* p, int n) {
    int parts[3] = {0, 0, 0};
    int part = 0;
    int digits = 0;
    for (int i = 0; i < n; ++i) {
        const char c = p[i];
        if (c >= '0' && c <= '9') {
            parts[part] = parts[part] * 10 + (c - '0');
            if (++digits > 4) return QDate();
        } else if ((c == '-' || c == '/') && digits > 0 && part < 2) {
            ++part;
            digits = 0;
        } else if (c == ' ' || c == 'T') {
            break;
        } else {
            return QDate();
        }
    }
    if (part != 2 || digits == 0) return QDate();
    return QDate(parts[0], parts[1], parts[2]);
}

QDate dateFromText(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    return parseDate(utf8.constData(), int(utf8.size()));
}

void bindStored(detail::Cursor& st, int position, const QVariant& v) {
    if (!v.isValid()) {
        st.bindNull(position);
        return;
    }
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            st.bindInteger(position, v.toLongLong());
            return;
        case QMetaType::Double:
            st.bindNumber(position, v.toDouble());
            return;
        case QMetaType::Bool:
            st.bindInteger(position, v.toBool() ? 1 : 0);
            return;
        case QMetaType::QDate:
            st.bindText(position, v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8());
            return;
        default:
            st.bindText(position, v.toString().toUtf8());
            return;
    }
}

using detail::Cell;
using detail::CellLoad;
using detail::CellType;
using detail::RowStore;
using detail::ValueType;

// A Jet day number (days since 1899-12-30) as a Julian day.
qint64 julianOfJetDay(double day) {
    return QDate(1899, 12, 30).toJulianDay() + qint64(std::floor(day));
}

// Reads one value of the current statement row into the row being built. Kept small: it runs
// for every value of a result.
inline void readCell(const detail::Cursor& s, int col, CellLoad load, RowStore& store) {
    const ValueType type = s.type(col);
    if (type == ValueType::Null) {
        store.putNull();
        return;
    }
    switch (load) {
        case CellLoad::Text: {
            int n = 0;
            const char* p = s.text(col, &n);
            store.putText(p, std::size_t(n));
            return;
        }
        case CellLoad::Integer:
            store.putInteger(s.integer(col));
            return;
        case CellLoad::Number:
            store.putNumber(s.number(col));
            return;
        case CellLoad::YesNo:
            store.putBool(s.integer(col) != 0);
            return;
        case CellLoad::Date: {
            if (type != ValueType::Text) {
                store.putDate(julianOfJetDay(s.number(col)));
                return;
            }
            int n = 0;
            const char* p = s.text(col, &n);
            if (n == 0) {
                store.putNull();
                return;
            }
            const QDate d = parseDate(p, n);
            if (d.isValid()) {
                store.putDate(d.toJulianDay());
            } else {
                store.putText(p, std::size_t(n));
            }
            return;
        }
        case CellLoad::Dynamic:
            break;
    }
    switch (type) {
        case ValueType::Integer:
            store.putInteger(s.integer(col));
            return;
        case ValueType::Float:
            store.putNumber(s.number(col));
            return;
        case ValueType::Blob: {
            int n = 0;
            const char* p = s.text(col, &n);
            store.putBlob(p, std::size_t(n));
            return;
        }
        default: {
            int n = 0;
            const char* p = s.text(col, &n);
            store.putText(p, std::size_t(n));
            return;
        }
    }
}

QVariant toVariant(const Cell& c) {
    switch (c.type) {
        case CellType::Null:
            return QVariant();
        case CellType::Integer:
            return integerValue(c.i);
        case CellType::Number:
            return QVariant(c.d);
        case CellType::Text:
            return QVariant(QString::fromUtf8(c.p, qsizetype(c.size)));
        case CellType::Bool:
            return QVariant(c.i != 0);
        case CellType::Date:
            return QVariant(QDate::fromJulianDay(c.i));
        case CellType::Blob:
            return QVariant(QByteArray(c.p, qsizetype(c.size)));
    }
    return QVariant();
}

// The same value as a QVariant in the form the row set holds (for rows read back).
QVariant readVariant(const detail::Cursor& s, int col, CellLoad load) {
    RowStore one;
    one.reset(1);
    one.begin();
    readCell(s, col, load, one);
    const int row = one.add();
    return toVariant(one.cell(row, 0));
}

// Puts a value in the form toStored gives (QString, int, qlonglong, double, bool, QDate, or
// invalid for null) into the row being built.
void putVariant(const QVariant& v, RowStore& store) {
    if (!v.isValid()) {
        store.putNull();
        return;
    }
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            store.putInteger(v.toLongLong());
            return;
        case QMetaType::Double:
            store.putNumber(v.toDouble());
            return;
        case QMetaType::Bool:
            store.putBool(v.toBool());
            return;
        case QMetaType::QDate: {
            const QDate d = v.toDate();
            if (d.isValid()) {
                store.putDate(d.toJulianDay());
            } else {
                store.putNull();
            }
            return;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = v.toByteArray();
            store.putBlob(bytes.constData(), std::size_t(bytes.size()));
            return;
        }
        default: {
            const QByteArray utf8 = v.toString().toUtf8();
            store.putText(utf8.constData(), std::size_t(utf8.size()));
            return;
        }
    }
}

QString isoDate(qint64 julianDay) {
    return QDate::fromJulianDay(julianDay).toString(QStringLiteral("yyyy-MM-dd"));
}

QString textOf(const QVariant& v) {
    if (!v.isValid()) return QString();
    if (v.typeId() == QMetaType::QDate) return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    return v.toString();
}

}  // namespace

RowSet::RowSet(Connection& connection, const QString& jetSql) : conn_(&connection), sql_(jetSql) {}

RowSet::~RowSet() = default;

void RowSet::setSql(const QString& jetSql) {
    sql_ = jetSql;
}

void RowSet::open(const QString& jetSql) {
    setSql(jetSql);
    open();
}

void RowSet::reopen() {
    open();
}

void RowSet::close() {
    state_ = State::Closed;
    table_.clear();
    names_.clear();
    nameIndex_.clear();
    kinds_.clear();
    loads_.clear();
    origins_.clear();
    store_.reset(0);
    order_.clear();
    rowids_.clear();
    buffer_.clear();
    changed_.clear();
    insert_ = Cached();
    update_ = Cached();
    readBack_ = Cached();
    remove_ = Cached();
    columns_ = 0;
    pos_ = 0;
    bof_ = true;
    eof_ = true;
}

void RowSet::open() {
    close();
    const SingleTableSelect single = findSingleTableSelect(sql_);
    const bool editable = single.isValid() && conn_->hasTable(single.table);
    QString jet = sql_;
    if (editable) {
        jet = sql_.left(single.selectEnd) + QLatin1Char(' ') + conn_->engine().rowKey() +
              QStringLiteral(" AS ") + QLatin1String(kRowidAlias) + QLatin1Char(',') +
              sql_.mid(single.selectEnd);
        // The file gives a table's rows in the order they were stored; the server only
        // when asked.
        if (conn_->isServer() && !single.ordered) {
            jet = jet.trimmed();
            if (jet.endsWith(QLatin1Char(';'))) jet.chop(1);
            jet += QStringLiteral(" order by ") + conn_->engine().rowKey();
        }
    }
    try {
        std::unique_ptr<detail::Cursor> cursor = conn_->engine().prepare(conn_->translate(jet));
        detail::Cursor& s = *cursor;
        const int skip = editable ? 1 : 0;
        columns_ = s.columnCount() - skip;
        kinds_.reserve(std::size_t(columns_));
        loads_.reserve(std::size_t(columns_));
        origins_.reserve(std::size_t(columns_));
        for (int i = 0; i < columns_; ++i) {
            const int c = i + skip;
            QString name = s.columnName(c);
            QString tableName;
            QString originName;
            const bool fromTable = s.origin(c, &tableName, &originName);
            // The server folds names to lower case; a column shows its declared spelling.
            if (fromTable && conn_->isServer() &&
                name.compare(originName, Qt::CaseInsensitive) == 0) {
                name = originName;
            }
            names_.append(name);
            if (!nameIndex_.contains(name)) nameIndex_.insert(name, i);
            Connection::ColumnKind kind = Connection::ColumnKind::Text;
            Load load = Load::Dynamic;
            if (fromTable) {
                kind = conn_->columnKind(tableName, originName);
                switch (kind) {
                    case Connection::ColumnKind::Text:
                    case Connection::ColumnKind::Memo:
                        load = Load::Text;
                        break;
                    case Connection::ColumnKind::Integer:
                    case Connection::ColumnKind::Counter:
                        load = Load::Integer;
                        break;
                    case Connection::ColumnKind::Number:
                        load = Load::Number;
                        break;
                    case Connection::ColumnKind::YesNo:
                        load = Load::YesNo;
                        break;
                    case Connection::ColumnKind::Date:
                        load = Load::Date;
                        break;
                }
                if (!editable || tableName.compare(single.table, Qt::CaseInsensitive) != 0) {
                    originName.clear();
                }
            }
            kinds_.push_back(kind);
            loads_.push_back(load);
            origins_.push_back(originName);
        }

        store_.reset(columns_);
        const std::vector<Load> loads = loads_;
        const int columns = columns_;
        while (s.step()) {
            if (editable) rowids_.push_back(s.integer(0));
            store_.begin();
            for (int i = 0; i < columns; ++i) readCell(s, i + skip, loads[std::size_t(i)], store_);
            const int physical = store_.add();
            if (order_.empty()) {
                // Expressions take the kind of their first value.
                for (int i = 0; i < columns; ++i) {
                    if (loads_[std::size_t(i)] != Load::Dynamic) continue;
                    const CellType type = store_.cell(physical, i).type;
                    kinds_[std::size_t(i)] =
                        type == CellType::Integer  ? Connection::ColumnKind::Integer
                        : type == CellType::Number ? Connection::ColumnKind::Number
                                                   : Connection::ColumnKind::Text;
                }
            }
            order_.push_back(physical);
        }
    } catch (...) {
        close();
        throw;
    }
    table_ = editable ? single.table : QString();
    state_ = State::Browse;
    pos_ = 0;
    bof_ = eof_ = order_.empty();
}

void RowSet::requireOpen() const {
    if (state_ == State::Closed) {
        throw DbError(QStringLiteral("数据集没有打开 (the row set is closed)"), SQLITE_MISUSE,
                      sql_);
    }
}

void RowSet::requireTable() const {
    requireOpen();
    if (table_.isEmpty()) {
        throw DbError(
            QStringLiteral("该数据集不能修改：语句不是单表查询 (the row set is read-only)"),
            SQLITE_READONLY, sql_);
    }
}

void RowSet::requireEditing(const char* operation) const {
    if (!editing()) {
        throw DbError(
            QStringLiteral("数据集不在编辑或插入状态，不能%1 (not in edit or insert mode)")
                .arg(QString::fromUtf8(operation)),
            SQLITE_MISUSE, sql_);
    }
}

int RowSet::requireField(const QString& name) const {
    requireOpen();
    const int index = fieldIndex(name);
    if (index < 0) {
        throw DbError(
            QStringLiteral("找不到字段“%1” (item not found in this collection)").arg(name),
            SQLITE_ERROR, sql_);
    }
    return index;
}

void RowSet::postPending() {
    if (editing()) post();
}

void RowSet::first() {
    requireOpen();
    postPending();
    pos_ = 0;
    bof_ = eof_ = order_.empty();
}

void RowSet::next() {
    requireOpen();
    postPending();
    if (pos_ + 1 < count()) {
        ++pos_;
        bof_ = false;
    } else {
        eof_ = true;
    }
}

void RowSet::prior() {
    requireOpen();
    postPending();
    if (pos_ > 0) {
        --pos_;
        eof_ = false;
    } else {
        bof_ = true;
    }
}

void RowSet::last() {
    requireOpen();
    postPending();
    pos_ = count() > 0 ? count() - 1 : 0;
    bof_ = eof_ = order_.empty();
}

void RowSet::seek(int i) {
    requireOpen();
    if (i < 0 || i >= count()) {
        throw DbError(QStringLiteral("没有第 %1 条记录 (row out of range)").arg(i + 1),
                      SQLITE_RANGE, sql_);
    }
    postPending();
    pos_ = i;
    bof_ = eof_ = false;
}

bool RowSet::eof() const {
    return eof_;
}

int RowSet::count() const {
    return int(order_.size());
}

int RowSet::fieldIndex(const QString& name) const {
    const auto it = nameIndex_.constFind(name);
    if (it != nameIndex_.constEnd()) return *it;
    for (int i = 0; i < int(names_.size()); ++i) {
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

Connection::ColumnKind RowSet::fieldKind(int index) const {
    if (index < 0 || index >= columns_) return Connection::ColumnKind::Text;
    return kinds_[std::size_t(index)];
}

Cell RowSet::currentCell(int index) const {
    if (order_.empty()) return Cell();
    return store_.cell(order_[std::size_t(pos_)], index);
}

QVariant RowSet::value(int index) const {
    requireOpen();
    if (index < 0 || index >= columns_) {
        throw DbError(QStringLiteral("没有第 %1 个字段 (item not found)").arg(index + 1),
                      SQLITE_RANGE, sql_);
    }
    if (editing()) return buffer_[std::size_t(index)];
    return toVariant(currentCell(index));
}

QVariant RowSet::value(const QString& name) const {
    return value(requireField(name));
}

QString RowSet::text(const QString& name) const {
    const int index = requireField(name);
    if (editing()) return textOf(buffer_[std::size_t(index)]);
    const Cell c = currentCell(index);
    switch (c.type) {
        case CellType::Null:
            return QString();
        case CellType::Text:
            return QString::fromUtf8(c.p, qsizetype(c.size));
        case CellType::Date:
            return isoDate(c.i);
        case CellType::Integer:
            return QString::number(c.i);
        default:
            return toVariant(c).toString();
    }
}

int RowSet::integer(const QString& name) const {
    const int index = requireField(name);
    if (editing()) return buffer_[std::size_t(index)].toInt();
    const Cell c = currentCell(index);
    switch (c.type) {
        case CellType::Null:
            return 0;
        case CellType::Integer:
        case CellType::Bool:
            return int(c.i);
        case CellType::Number:
            return int(qRound64(c.d));
        default:
            return toVariant(c).toInt();
    }
}

double RowSet::number(const QString& name) const {
    const int index = requireField(name);
    if (editing()) return buffer_[std::size_t(index)].toDouble();
    const Cell c = currentCell(index);
    switch (c.type) {
        case CellType::Null:
            return 0;
        case CellType::Integer:
        case CellType::Bool:
            return double(c.i);
        case CellType::Number:
            return c.d;
        default:
            return toVariant(c).toDouble();
    }
}

bool RowSet::yesNo(const QString& name) const {
    const int index = requireField(name);
    if (editing()) return buffer_[std::size_t(index)].toBool();
    const Cell c = currentCell(index);
    switch (c.type) {
        case CellType::Null:
            return false;
        case CellType::Integer:
        case CellType::Bool:
            return c.i != 0;
        case CellType::Number:
            return c.d != 0.0;
        default:
            return toVariant(c).toBool();
    }
}

QDate RowSet::date(const QString& name) const {
    const int index = requireField(name);
    if (editing()) {
        const QVariant& v = buffer_[std::size_t(index)];
        if (v.typeId() == QMetaType::QDate) return v.toDate();
        if (v.typeId() == QMetaType::QString) return dateFromText(v.toString());
        return QDate();
    }
    const Cell c = currentCell(index);
    switch (c.type) {
        case CellType::Date:
            return QDate::fromJulianDay(c.i);
        case CellType::Text:
            return parseDate(c.p, int(c.size));
        default:
            return QDate();
    }
}

bool RowSet::isNull(const QString& name) const {
    const int index = requireField(name);
    if (editing()) return !buffer_[std::size_t(index)].isValid();
    return currentCell(index).type == CellType::Null;
}

void RowSet::edit() {
    requireTable();
    if (editing()) return;
    if (order_.empty()) {
        throw DbError(QStringLiteral("没有当前记录，不能修改 (no current record)"), SQLITE_MISUSE,
                      sql_);
    }
    buffer_.clear();
    buffer_.reserve(std::size_t(columns_));
    for (int i = 0; i < columns_; ++i) buffer_.push_back(toVariant(currentCell(i)));
    changed_.assign(std::size_t(columns_), false);
    state_ = State::Edit;
}

void RowSet::append() {
    requireTable();
    postPending();
    buffer_.assign(std::size_t(columns_), QVariant());
    changed_.assign(std::size_t(columns_), false);
    state_ = State::Insert;
}

QVariant RowSet::toStored(int index, const QVariant& v) const {
    auto mismatch = [&]() {
        return DbError(
            QStringLiteral("字段“%1”的值类型不对 (data type mismatch)").arg(names_[index]),
            SQLITE_MISMATCH, sql_);
    };
    const bool blank =
        !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty());
    switch (kinds_[std::size_t(index)]) {
        case Connection::ColumnKind::Text:
        case Connection::ColumnKind::Memo: {
            if (!v.isValid()) return QVariant(QString(QLatin1String("")));
            if (v.typeId() == QMetaType::QDate) {
                return QVariant(v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
            }
            QString s = v.toString();
            if (s.isNull()) s = QLatin1String("");
            return QVariant(s);
        }
        case Connection::ColumnKind::Integer:
        case Connection::ColumnKind::Counter: {
            if (blank) return QVariant();
            bool ok = false;
            const qlonglong x = v.toLongLong(&ok);
            if (!ok) throw mismatch();
            return integerValue(x);
        }
        case Connection::ColumnKind::Number: {
            if (blank) return QVariant();
            bool ok = false;
            const double x = v.toDouble(&ok);
            if (!ok) throw mismatch();
            return QVariant(x);
        }
        case Connection::ColumnKind::YesNo:
            if (v.typeId() == QMetaType::QString) {
                const QString s = v.toString().trimmed().toLower();
                return QVariant(s == QLatin1String("1") || s == QLatin1String("-1") ||
                                s == QLatin1String("true") || s == QLatin1String("yes"));
            }
            return QVariant(v.toBool());
        case Connection::ColumnKind::Date: {
            if (blank) return QVariant();
            QDate d;
            if (v.typeId() == QMetaType::QDate) {
                d = v.toDate();
            } else if (v.typeId() == QMetaType::QDateTime) {
                d = v.toDateTime().date();
            } else if (v.typeId() == QMetaType::QString) {
                d = dateFromText(v.toString());
                if (!d.isValid()) throw mismatch();
            } else {
                throw mismatch();
            }
            return d.isValid() ? QVariant(d) : QVariant();
        }
    }
    return v;
}

void RowSet::setValue(const QString& name, const QVariant& value) {
    requireEditing("设置字段");
    const int index = requireField(name);
    if (origins_[std::size_t(index)].isEmpty()) {
        throw DbError(QStringLiteral("字段“%1”不能修改 (field is not updatable)").arg(name),
                      SQLITE_READONLY, sql_);
    }
    buffer_[std::size_t(index)] = toStored(index, value);
    changed_[std::size_t(index)] = true;
}

detail::Cursor& RowSet::prepared(Cached& slot, const QString& sql) {
    if (!slot.statement || slot.sql != sql) {
        slot.statement.reset();
        slot.statement = conn_->engine().prepare(sql);
        slot.sql = sql;
    } else {
        slot.statement->reset();
    }
    return *slot.statement;
}

QString RowSet::quoteName(const QString& name) const {
    return conn_->engine().quoteName(name);
}

QString RowSet::whereKey() const {
    return QStringLiteral(" WHERE ") + conn_->engine().rowKey() + QStringLiteral("=?");
}

void RowSet::requireRowAsRead(const QString& failure, std::vector<int> fields) {
    // Rows are found again by their rowid, and a table without an integer key gives a deleted
    // last row's rowid to the next row inserted: the row there must still be the one read.
    if (fields.empty()) {
        for (int i = 0; i < columns_; ++i)
            if (!origins_[std::size_t(i)].isEmpty()) fields.push_back(i);
    }
    if (fields.empty()) return;
    QStringList cols;
    for (int i : fields) cols.append(quoteName(origins_[std::size_t(i)]));
    const QString sql = QStringLiteral("SELECT ") + cols.join(QLatin1Char(',')) +
                        QStringLiteral(" FROM ") + quoteName(table_) + whereKey();
    detail::Cursor& st = prepared(recheck_, sql);
    st.bindInteger(1, rowids_[std::size_t(pos_)]);
    if (!st.step()) return;  // gone: the change itself reports the missing row
    RowStore now;
    now.reset(int(fields.size()));
    now.begin();
    for (std::size_t k = 0; k < fields.size(); ++k)
        readCell(st, int(k), loads_[std::size_t(fields[k])], now);
    const int read = now.add();
    st.reset();
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (toVariant(now.cell(read, int(k))) != toVariant(currentCell(fields[k])))
            throw DbError(failure, SQLITE_NOTFOUND, sql);
    }
}

void RowSet::buildRow(const std::vector<QVariant>& values) {
    store_.begin();
    for (int i = 0; i < columns_; ++i) putVariant(values[std::size_t(i)], store_);
}

void RowSet::readBack(qint64 rowid, std::vector<QVariant>& values) {
    detail::Cursor& st =
        prepared(readBack_, QStringLiteral("SELECT * FROM ") + quoteName(table_) + whereKey());
    st.bindInteger(1, rowid);
    if (st.step()) {
        const int n = st.columnCount();
        for (int i = 0; i < columns_; ++i) {
            const QString& origin = origins_[std::size_t(i)];
            if (origin.isEmpty()) continue;
            for (int c = 0; c < n; ++c) {
                if (origin.compare(st.columnName(c), Qt::CaseInsensitive) == 0) {
                    values[std::size_t(i)] = readVariant(st, c, loads_[std::size_t(i)]);
                    break;
                }
            }
        }
    }
    // A statement left on a row would keep the file locked for reading.
    st.reset();
}

void RowSet::post() {
    requireEditing("保存");
    std::vector<int> fields;
    for (int i = 0; i < columns_; ++i) {
        if (changed_[std::size_t(i)]) fields.push_back(i);
    }
    if (state_ == State::Edit) {
        if (fields.empty()) {
            cancel();
            return;
        }
        // The fields changed here must still hold what was read; other users' changes to other
        // fields of the row stay.
        requireRowAsRead(QStringLiteral("该记录已被其他用户修改，不能保存 (row changed by another "
                                        "user since it was read)"),
                         fields);
        QStringList sets;
        for (int i : fields) {
            sets.append(quoteName(origins_[std::size_t(i)]) + QStringLiteral("=?"));
        }
        const QString sql = QStringLiteral("UPDATE ") + quoteName(table_) +
                            QStringLiteral(" SET ") + sets.join(QLatin1Char(',')) + whereKey();
        detail::Cursor& st = prepared(update_, sql);
        int position = 1;
        for (int i : fields) bindStored(st, position++, buffer_[std::size_t(i)]);
        qint64 rowid = rowids_[std::size_t(pos_)];
        st.bindInteger(position, rowid);
        st.step();
        const int changed = st.changes();
        st.reset();
        if (changed == 0) {
            throw DbError(QStringLiteral("该记录已被其他用户删除，不能保存 (row cannot be located "
                                         "for updating)"),
                          SQLITE_NOTFOUND, sql);
        }
        // A changed counter is the row's new rowid.
        const QString counter =
            conn_->engine().counterIsRowKey() ? conn_->counterColumn(table_) : QString();
        for (int i : fields) {
            if (!counter.isEmpty() &&
                origins_[std::size_t(i)].compare(counter, Qt::CaseInsensitive) == 0 &&
                buffer_[std::size_t(i)].isValid()) {
                rowid = buffer_[std::size_t(i)].toLongLong();
            }
        }
        rowids_[std::size_t(pos_)] = rowid;
        std::vector<QVariant> values = std::move(buffer_);
        state_ = State::Browse;
        buffer_.clear();
        changed_.clear();
        buildRow(values);
        store_.replace(order_[std::size_t(pos_)]);
        // The change is stored; reading it back only refreshes what this row set shows.
        readBack(rowid, values);
        buildRow(values);
        store_.replace(order_[std::size_t(pos_)]);
        return;
    }

    // Insert.
    QString sql;
    if (fields.empty()) {
        sql =
            QStringLiteral("INSERT INTO ") + quoteName(table_) + QStringLiteral(" DEFAULT VALUES");
    } else {
        QStringList cols;
        QStringList marks;
        for (int i : fields) {
            cols.append(quoteName(origins_[std::size_t(i)]));
            marks.append(QStringLiteral("?"));
        }
        sql = QStringLiteral("INSERT INTO ") + quoteName(table_) + QStringLiteral(" (") +
              cols.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
              marks.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    qint64 rowid = 0;
    {
        detail::Cursor& st = prepared(insert_, conn_->engine().insertReturningKey(sql));
        int position = 1;
        for (int i : fields) bindStored(st, position++, buffer_[std::size_t(i)]);
        st.step();
        rowid = conn_->engine().insertedKey(st);
        st.reset();
    }
    std::vector<QVariant> values = std::move(buffer_);
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
    buildRow(values);
    order_.push_back(store_.add());
    rowids_.push_back(rowid);
    pos_ = count() - 1;
    bof_ = eof_ = false;
    // The row is stored; reading it back fills in the counter and the table's defaults.
    readBack(rowid, values);
    buildRow(values);
    store_.replace(order_.back());
}

void RowSet::cancel() {
    if (editing()) state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
}

void RowSet::remove() {
    requireTable();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (order_.empty()) {
        throw DbError(QStringLiteral("没有当前记录，不能删除 (no current record)"), SQLITE_MISUSE,
                      sql_);
    }
    requireRowAsRead(
        QStringLiteral("该记录已被其他用户修改，不能删除 (row changed by another "
                       "user since it was read)"));
    const QString sql = QStringLiteral("DELETE FROM ") + quoteName(table_) + whereKey();
    int changed = 0;
    {
        detail::Cursor& st = prepared(remove_, sql);
        st.bindInteger(1, rowids_[std::size_t(pos_)]);
        st.step();
        changed = st.changes();
        st.reset();
    }
    if (changed == 0) {
        throw DbError(QStringLiteral("该记录已被其他用户删除 (row cannot be located for deletion)"),
                      SQLITE_NOTFOUND, sql);
    }
    order_.erase(order_.begin() + pos_);
    rowids_.erase(rowids_.begin() + pos_);
    if (order_.empty()) {
        pos_ = 0;
        bof_ = eof_ = true;
    } else if (pos_ >= count()) {
        pos_ = count() - 1;
    }
}

}  // namespace fx::db
