#include "transferstore.h"

#include "appstate.h"
#include "changerecorder.h"
#include "connection.h"
#include "dberror.h"
#include "rowset.h"

namespace fx::movements {

namespace {

QStringList column(db::Connection& c, const QString& sql, const QString& field) {
    db::RowSet rows(c, sql);
    rows.open();
    QStringList values;
    for (; !rows.eof(); rows.next()) values << rows.text(field);
    return values;
}

QString byId(const QString& table, int serial) {
    return QStringLiteral("select * from ") + table + QStringLiteral(" where id=") +
           QString::number(serial);
}

}  // namespace

QString historyMissingMessage() {
    return QStringLiteral("历史数据库没有打开，调拨无法记录，该资产未被调拨。");
}

QStringList transferPlaces(AppState& app, bool byLocation) {
    if (byLocation)
        return column(*app.current, QStringLiteral("select wz from wzb"), QStringLiteral("wz"));
    return transferCustodians(app);
}

QStringList transferCustodians(AppState& app) {
    return column(*app.current, QStringLiteral("select pname from person"),
                  QStringLiteral("pname"));
}

void transferAsset(AppState& app, const AssetPlace& asset, const TransferTarget& target) {
    if (!app.history) throw db::DbError(historyMissingMessage());

    // The history row is written first; neither change is kept until both are in. The register
    // is committed first: it is the file every workstation reads, so its commit is the one that
    // may run out of waiting for them, and then nothing is kept of either.
    db::Transaction historyChange(*app.history);
    db::RowSet history(*app.history, byId(QStringLiteral("his"), asset.serial));
    history.open();
    history.append();
    history.setValue(QStringLiteral("id"), asset.serial);
    history.setValue(QStringLiteral("swz"), asset.place);
    history.setValue(QStringLiteral("sbgr"), asset.custodian);
    history.setValue(QStringLiteral("date"), target.today);
    history.setValue(QStringLiteral("owz"), target.place);
    history.setValue(QStringLiteral("obgr"), target.custodian);
    history.setValue(QStringLiteral("czy"), target.operatorName);
    history.post();

    db::Transaction registerChange(*app.current);
    db::RowSet card(*app.current, QStringLiteral("select * from sbjl where ID1=") +
                                      QString::number(asset.serial));
    card.open();
    if (card.eof())
        throw db::DbError(QStringLiteral("没有序号为") + QString::number(asset.serial) +
                          QStringLiteral("的资产记录。"));
    card.edit();
    const QList<QVariant> before = {card.value(QStringLiteral("wz")),
                                    card.value(QStringLiteral("bgr")),
                                    card.value(QStringLiteral("pzrq"))};
    card.setValue(QStringLiteral("wz"), target.place);
    card.setValue(QStringLiteral("bgr"), target.custodian);
    card.setValue(QStringLiteral("pzrq"), target.today);
    card.post();

    // The change history's row goes into the transfer's own history transaction, so that the
    // two are kept or refused together; every transfer (single, batch, a stocktake's) passes here.
    history::ChangeRecorder recorder(app.history.get(), app.userName);
    recorder.begin();
    recorder.record(
        QString::fromUtf8(history::op::kTransfer), asset.serial, history::assetNumberOf(card),
        history::changedFields(
            {QStringLiteral("wz"), QStringLiteral("bgr"), QStringLiteral("pzrq")}, before,
            {card.value(QStringLiteral("wz")), card.value(QStringLiteral("bgr")),
             card.value(QStringLiteral("pzrq"))}));
    recorder.commit();

    registerChange.commit();
    historyChange.commit();
}

BatchTransaction::BatchTransaction(AppState& app) {
    if (!app.history) throw db::DbError(historyMissingMessage());
    history_ = std::make_unique<db::Transaction>(*app.history);
    current_ = std::make_unique<db::Transaction>(*app.current);
}

BatchTransaction::~BatchTransaction() = default;

void BatchTransaction::commit() {
    // The register first, as transferAsset() does.
    current_->commit();
    registerCommitted_ = true;
    history_->commit();
}

}  // namespace fx::movements
