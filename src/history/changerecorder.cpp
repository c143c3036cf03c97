#include "changerecorder.h"

#include <QSysInfo>

#include "bulkinsert.h"
#include "clock.h"
#include "connection.h"
#include "rowset.h"

namespace fx::history {

namespace {

const QString kTable = QStringLiteral("czjl");

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
