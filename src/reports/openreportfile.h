#pragma once

#include "report.h"

class QWidget;

namespace fx::report {

// The one page the preview shows before a saved report is opened: the slip form with its
// labels and title empty and the first paragraph, 189 px high, telling what a .QRP file is
// and how to open one.
Report savedReportPlaceholder();

// "打开报表文件": the preview window on the placeholder page, modal; the user opens saved
// reports (.QRP) with the window's open command.
void openReportFile(QWidget* parent);

}  // namespace fx::report
