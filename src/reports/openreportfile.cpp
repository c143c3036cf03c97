#include "openreportfile.h"

#include "clock.h"
#include "datasource.h"
#include "layout.h"
#include "modal.h"
#include "reportpreview.h"
#include "slipform.h"
#include "units.h"

namespace fx::report {

Report savedReportPlaceholder() {
    SlipTexts texts;
    texts.paragraph = QStringLiteral(
        "提示：*.QRP文件(QuickReport file)是本系统在打印预览时可以保存的文件，它不具有可修改性，"
        "可作为报表的电子档保存在您的存储介质上。\n"
        "    在这里您可以点击上面的打开文件夹图标，打开已经保存过的报表文件。");
    Report r = slipReport(texts);
    r.findItem(QStringLiteral("QRRichText1"))->rect.setHeight(px(189));
    return r;
}

void openReportFile(QWidget* parent) {
    const MemoryDataSource none;
    ReportPreview preview(parent);
    preview.setDocument(layoutReport(savedReportPlaceholder(), none, RunOptions{fx::Clock::now()}));
    ui::runModal(preview);
}

}  // namespace fx::report
