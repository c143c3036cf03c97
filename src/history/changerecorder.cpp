#include "changerecorder.h"

#include <QSysInfo>

#include "bulkinsert.h"
#include "clock.h"
#include "connection.h"
#include "quote.h"
#include "rowset.h"

namespace fx::history {

namespace {

const QString kTable = QStringLiteral("czjl");
// Rows per statement of recordAssets(): few statements to prepare, none of them large.
constexpr qsizetype kRowsPerStatement = 500;

}  // namespace

QString workstationName() {
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? QStringLiteral("localhost") : name;
}

ChangeRecorder::ChangeRecorder(db::Connection* history, const QString& user)
    : history_(history),
      user_(user),
      workstation_(workstationName()),
      available_(history && history->hasTable(kTable)) {}

ChangeRecorder::~ChangeRecorder() = default;

QString ChangeRecorder::unavailableMessage() {
    return QStringLiteral("历史数据库没有打开（或尚未升级），此次操作没有记入操作记录。");
}

QString ChangeRecorder::notRecordedMessage(const QString& engineMessage) {
    return QStringLiteral("操作已经保存，但操作记录未能写入历史数据库：\n") + engineMessage;
}

void ChangeRecorder::begin() {
    if (!available_) return;
    transaction_ = std::make_unique<db::Transaction>(*history_);
    if (!insert_) {
        insert_ = std::make_unique<db::BulkInsert>(
            *history_, kTable,
            QStringList{QStringLiteral("sj"), QStringLiteral("czy"), QStringLiteral("gzz"),
                        QStringLiteral("cz"), QStringLiteral("id"), QStringLiteral("zcbh"),
                        QStringLiteral("bgnr")});
    }
    moment_ = Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    recorded_ = 0;
}

void ChangeRecorder::record(const QString& operation, int serial, const QString& assetNumber,
                            const QList<FieldChange>& changes) {
    recordNote(operation, serial, assetNumber, changesText(changes));
}

void ChangeRecorder::recordNote(const QString& operation, int serial, const QString& assetNumber,
                                const QString& note) {
    if (!available_) return;
    insert_->insert({moment_, user_, workstation_, operation, serial, assetNumber, note});
    ++recorded_;
}

void ChangeRecorder::recordAssets(const QString& operation, const QList<RecordedAsset>& assets,
                                  const QString& note) {
    if (!available_) return;
    // The values every row shares, quoted once.
    const QString shared =
        QLatin1Char('(') +
        db::quoted(Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))) +
        QLatin1Char(',') + db::quoted(user_) + QLatin1Char(',') + db::quoted(workstation_) +
        QLatin1Char(',') + db::quoted(operation) + QLatin1Char(',');
    const QString tail = QLatin1Char(',') + db::quoted(note) + QLatin1Char(')');
    const QString head = QStringLiteral("insert into czjl (sj,czy,gzz,cz,id,zcbh,bgnr) values ");
    for (qsizetype first = 0; first < assets.size(); first += kRowsPerStatement) {
        const qsizetype end = qMin(assets.size(), first + kRowsPerStatement);
        QString sql = head;
        sql.reserve(head.size() + (end - first) * (shared.size() + tail.size() + 32));
        for (qsizetype i = first; i < end; ++i) {
            if (i > first) sql += QLatin1Char(',');
            sql += shared + QString::number(assets.at(i).serial) + QLatin1Char(',') +
                   db::quoted(assets.at(i).number) + tail;
        }
        history_->executeNative(sql);
        recorded_ += int(end - first);
    }
}

void ChangeRecorder::commit() {
    if (!transaction_) return;
    transaction_->commit();
    transaction_.reset();
}

void ChangeRecorder::rollback() {
    if (!transaction_) return;
    transaction_->rollback();
    transaction_.reset();
}

QString assetNumberOf(const db::RowSet& asset) {
    return asset.text(QStringLiteral("id")) + QString::number(asset.integer(QStringLiteral("num")));
}

QString assetNumberOf(db::Connection& current, int serial) {
    db::RowSet rows(current,
                    QStringLiteral("select id,num from sbjl where ID1=") + QString::number(serial));
    rows.open();
    return rows.eof() ? QString() : assetNumberOf(rows);
}

QList<FieldChange> changedFields(const QStringList& names, const QList<QVariant>& before,
                                 const QList<QVariant>& after) {
    QList<FieldChange> changes;
    for (qsizetype i = 0; i < names.size() && i < before.size() && i < after.size(); ++i) {
        const QString a = valueText(before.at(i));
        const QString b = valueText(after.at(i));
        if (a != b) changes.push_back({names.at(i), a, b});
    }
    return changes;
}

}  // namespace fx::history
