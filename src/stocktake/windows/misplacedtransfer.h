#pragma once

#include <QString>
#include <vector>

#include "results.h"

class QWidget;

namespace fx {
class AppState;
}

namespace fx::stocktake {

// What moving misplaced assets did.
struct MoveOutcome {
    int moved = 0;
    int heldByPeople = 0;  // left alone: an asset held by a person is moved through the card
    QString error;         // the engine's message when the batch stopped
};

// Moves misplaced assets kept at a location to the place they were found at, each keeping its
// custodian, as one batch transfer through the transfer store: a history row per asset in `his`,
// the register's place and allocation date changed, one transaction on each database. An error
// stops the batch; the assets moved before it stay moved (as the batch transfer of the results
// window does). With `slip`, the batch transfer slip of each target place is previewed.
MoveOutcome moveToFoundPlaces(AppState& app, const std::vector<AssetLine>& assets, bool slip,
                              QWidget* parent);

}  // namespace fx::stocktake
