#pragma once

#include <QObject>

class QAbstractScrollArea;
class QWidget;

namespace fx::import {

// Keeps the mouse wheel from changing a control the user has not clicked into: while the
// control has no focus, the wheel scrolls the list it sits in instead. Scrolling down a long
// table of combo boxes must never change one of their choices on the way.
class WheelGuard : public QObject {
public:
    explicit WheelGuard(QAbstractScrollArea* area);
    // Guards the control: it takes the focus only by a click or the keyboard, not the wheel.
    void guard(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractScrollArea* area_;
};

}  // namespace fx::import
