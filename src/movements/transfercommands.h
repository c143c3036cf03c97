#pragma once

#include <QString>
#include <QStringList>

#include "querystate.h"

class QWidget;

namespace fx {
class AppState;
}

namespace fx::query {
class TcxjgDlg1;
}

namespace fx::movements {

// The asset the card shows, as a single transfer needs it.
struct CardAsset {
    int serial = 0;     // `ID1`
    QString place;      // `wz`
    QString custodian;  // `bgr`
    QString number;     // the asset number as the card shows it
    QString name;       // `sbmc`
    QString model;      // `sbxh`
    bool byLocation = true;
    QString placeCaption;    // the card's "位  置：" or "使用者："
    QStringList custodians;  // the card's custodian list
};

// "调拨": asks for the target, records the transfer in `his`, moves the asset and, when asked,
// previews or prints the transfer slip. Errors are shown to the user. Returns true when the
// asset was transferred.
bool transferCardAsset(QWidget* parent, AppState& app, const CardAsset& asset);

// "批量调拨" of an asset query's results window: the selected assets, all of one storage mode,
// moved to one target, with the batch slip when asked. Stops at the first error and says how
// many assets were transferred before it.
void batchTransfer(query::TcxjgDlg1& window, AppState& app);

// "调拨记录": the asset's transfers in the results window, in the order they were made.
void listTransferHistory(QWidget* parent, AppState& app, query::QueryState& state, int serial);

// The caption and print title of an asset's transfer history ("第12号固定资产调拨记录表").
QString transferHistoryTitle(int serial);

// The message that refuses a batch mixing assets kept by location and held by users.
QString mixedStorageMessage();

}  // namespace fx::movements
