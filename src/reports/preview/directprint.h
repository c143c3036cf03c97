#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace fx::report {

struct Document;

// Prints a laid-out report on `printer` while a progress window counts the pages; the window's
// "取消" stops after the page being printed. A failure is shown to the user (through the
// program's message function) and gives false; so does cancelling.
bool printWithProgress(const Document& document, QPrinter& printer, QWidget* parent);

// Prints straight to the current (default) printer without a preview, with the progress window.
bool printDirect(const Document& document, QWidget* parent);

}  // namespace fx::report
