#pragma once

#include <QString>

#include "displaylist.h"

namespace fx::report {

// The laid-out pages as text, one line per band placement and per drawing primitive, with
// positions in mm to two decimals. Tests compare it with expected files: it shows what a
// report prints and where, without depending on pixels. Images show as their size only.
QString dumpDocument(const Document& document);
QString dumpPage(const Page& page, int number);

}  // namespace fx::report
