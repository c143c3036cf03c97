#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "mainform.h"

// The window's size: fixed at its design size unless maximised, and the card laid out for the
// width it has.

namespace fx {

namespace {

// The layout rules are written for the outer width of a window with 4-pixel borders. The width
// of the frame the window manager draws varies (and there is none off screen), so the borders
// of the design are added to the client width instead: the rules then place everything the
// same on every desktop.
constexpr int kDesignFrameWidth = 8;

using Widgets = std::initializer_list<QWidget*>;

void setLeft(QWidget* w, int left) {
    w->move(left, w->y());
}
void setWidth(QWidget* w, int width) {
    w->resize(width, w->height());
}

}  // namespace

int TMainForm::outerWidth() const {
    return width() + kDesignFrameWidth;
}

void TMainForm::applyLayoutRules(int W) {
    const int half = W / 2;

    setWidth(GroupBox1, W - 72);
    const int groupWidth = GroupBox1->width();

    for (QWidget* w : Widgets{Label2, Label4, Label16}) setLeft(w, half);
    for (QWidget* w : Widgets{Label9, Label8}) setLeft(w, half - 14);
    for (QWidget* w : Widgets{DBComboBox2, DBComboBox5, DBComboBox8, DBComboBox6, DBEdit1})
        setLeft(w, half + 74);
    for (QWidget* w : Widgets{BitBtn1, BitBtn2, BitBtn3, BitBtn9}) setLeft(w, W - 160);
    setLeft(Label10, W - 196);
    setLeft(Label11, W - 180);

    for (QWidget* w : Widgets{DBComboBox1, DBComboBox2, DBComboBox3, DBComboBox7, DBComboBox4,
                              DBComboBox5, DBComboBox8, DateTimePicker1})
        setWidth(w, half - 192);
    setWidth(DBEdit3, W - 230);
    setWidth(DBMemo1, groupWidth - 242);
    for (QWidget* w : Widgets{DBComboBox6, DBEdit1}) setWidth(w, groupWidth - half - 204);

    // The panel fills the client area from its top down to one pixel above the status bar; the
    // central widget ends where the status bar begins.
    const int panelTop = Panel1->y();
    Panel1->setGeometry(1, panelTop, W - 8, centralWidget()->height() - panelTop - 1);
}

void TMainForm::setMaximised(bool on) {
    if (on) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    setWindowState(windowState() & ~Qt::WindowMaximized);
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void TMainForm::changeEvent(QEvent* event) {
    // The window cannot be dragged to another size, but the maximise button works: the fixed
    // size gives way while maximised and comes back when the window is restored.
    if (event->type() == QEvent::WindowStateChange) {
        const bool fixed = minimumSize() == maximumSize();
        if (isMaximized() && fixed) {
            setMinimumSize(0, 0);
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        } else if (!isMaximized() && !isMinimized() && !isFullScreen() && !fixed) {
            setFixedSize(kClientWidth, kClientHeight);
        }
    }
    QMainWindow::changeEvent(event);
}

}  // namespace fx
