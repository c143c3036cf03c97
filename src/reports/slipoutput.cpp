#include "slipoutput.h"

#include "clock.h"
#include "datasource.h"
#include "layout.h"
#include "reportpreview.h"

namespace fx::report {

void produceSlip(const SlipTexts& texts, bool previewFirst, QWidget* parent) {
    // The slip prints no records: everything it says is in its bands.
    const MemoryDataSource none;
    const RunOptions options{fx::Clock::now()};
    if (previewFirst)
        previewReport(slipReport(texts), none, options, parent);
    else
        printReport(slipReport(texts), none, options, parent);
}

}  // namespace fx::report
