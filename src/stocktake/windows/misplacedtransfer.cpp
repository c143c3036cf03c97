#include "misplacedtransfer.h"

#include <QMap>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "rowset.h"
#include "schema.h"
#include "slipoutput.h"
#include "sliptexts.h"
#include "transferstore.h"

namespace fx::stocktake {

MoveOutcome moveToFoundPlaces(AppState& app, const std::vector<AssetLine>& assets, bool slip,
                              QWidget* parent) {
    MoveOutcome out;
    QMap<QString, report::BatchTransferData> slips;  // by target place
    try {
        movements::BatchTransaction batch(app);
        // A register that cannot be saved keeps none of the transfers.
        const auto commit = [&] {
            try {
                batch.commit();
            } catch (const db::DbError&) {
                if (!batch.registerCommitted()) out.moved = 0;
                throw;
            }
        };
        try {
            for (const AssetLine& a : assets) {
                // The register as it is now, not as the snapshot had it: the history row records
                // where the asset really moves from.
                db::RowSet r(*app.current, QStringLiteral("select * from sbjl where ID1=") +
                                               QString::number(a.serial));
                r.open();
                if (r.eof()) throw db::DbError(QStringLiteral("资产%1已不在账上。").arg(a.number));
                if (!r.yesNo(QStringLiteral("worp"))) {
                    ++out.heldByPeople;
                    continue;
                }
                const QString custodian = r.text(QStringLiteral("bgr"));
                movements::transferAsset(app, {a.serial, r.text(QStringLiteral("wz")), custodian},
                                         {a.foundPlace, custodian, app.userName, Clock::today()});
                ++out.moved;
                report::BatchTransferData& s = slips[a.foundPlace];
                s.target = a.foundPlace;
                s.assets.push_back({a.serial, a.number, r.text(QStringLiteral("sbmc")),
                                    r.text(QStringLiteral("zclb")),
                                    r.text(QStringLiteral("sbxh"))});
            }
        } catch (const db::DbError&) {
            commit();
            throw;
        }
        commit();
    } catch (const db::DbError& e) {
        out.error = e.message();
    }
    if (!slip || out.moved == 0) return out;
    QString organisation;
    try {
        organisation = schema::organisationName(*app.current);
    } catch (const db::DbError&) {
        // The slip then goes without the organisation's name.
    }
    for (report::BatchTransferData& s : slips) {
        s.organisation = organisation;
        s.selectedCount = int(s.assets.size());
        s.operatorName = app.userName;
        s.today = Clock::today();
        report::produceSlip(report::batchTransferSlip(s), true, parent);
    }
    return out;
}

}  // namespace fx::stocktake
