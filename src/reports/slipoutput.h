#pragma once

#include "slipform.h"

class QWidget;

namespace fx::report {

// Produces a slip as the lending and transfer dialogs ask: with `previewFirst` in the modal
// preview window (printing from there), otherwise straight to the default printer with the
// progress window. Returns when the preview is closed or the printing is done.
void produceSlip(const SlipTexts& texts, bool previewFirst, QWidget* parent);

}  // namespace fx::report
