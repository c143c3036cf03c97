#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace fx {
class AppState;
}

namespace fx::ui {

// Each window names the page of the manual that its help opens, as a property of its class:
//     Q_CLASSINFO("helpSection", "lending.html")
// A window used for two jobs may override it on the instance with
// setProperty("helpSection", ...). A window without one (a message box, a file chooser) takes
// the section of the window it was opened from; the main window's is the manual's contents.
QString helpSection(const QWidget* widget);

// The document help opens for a section: qslhelp.chm in the start directory when it is there
// (one file, no sections), else that page of the HTML manual installed with the program, else
// of the copy in the installation folder; a section the manual lacks falls back to its
// contents page. Empty when there is no help at all.
QString helpDocumentPath(const AppState& state, const QString& section);

// Opens the help of the window widget belongs to with openDocument (modal.h), and tells the
// user when there is none or nothing could show it.
void openHelp(QWidget* widget, const AppState& state);

// F1 in any window of the program opens that window's help. Installed on the application once
// at start; the main window's "帮助主题" command takes F1 itself while it has the focus.
class HelpKey : public QObject {
public:
    explicit HelpKey(const AppState& state, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const AppState& state_;
};

}  // namespace fx::ui
