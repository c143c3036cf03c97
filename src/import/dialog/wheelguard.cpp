#include "wheelguard.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace fx::import {

WheelGuard::WheelGuard(QAbstractScrollArea* area) : QObject(area), area_(area) {}

void WheelGuard::guard(QWidget* control) {
    control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(this);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return false;
    auto* control = qobject_cast<QWidget*>(watched);
    if (!control || control->hasFocus()) return false;
    QCoreApplication::sendEvent(area_->viewport(), event);
    return true;
}

}  // namespace fx::import
