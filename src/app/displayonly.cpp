#include "displayonly.h"

#include <QEvent>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace fx::ui {

namespace {

const char kOn[] = "fxDisplayOnly";
const char kFocus[] = "fxDisplayOnlyFocusPolicy";
const char kPalette[] = "fxDisplayOnlyPalette";

// Swallows every event through which a user changes a value.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::InputMethod:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
                return true;
            default:
                return QObject::eventFilter(watched, event);
        }
    }
};

const char kBlocker[] = "fxDisplayOnlyBlocker";

QObject* blockerOf(QWidget* field) {
    return field->findChild<QObject*>(QLatin1String(kBlocker), Qt::FindDirectChildrenOnly);
}

// The field and the widgets it is made of (a list's line edit, a spin box's editor).
QList<QWidget*> partsOf(QWidget* field) {
    QList<QWidget*> parts{field};
    for (QWidget* w : field->findChildren<QWidget*>())
        if (w->window() == field->window()) parts << w;  // not a list's pop-up
    return parts;
}

}  // namespace

void setDisplayOnly(QWidget* field, bool on) {
    if (on == isDisplayOnly(field)) {
        // Parts made since (a list that became editable) are covered as well.
        if (on)
            for (QWidget* w : partsOf(field))
                if (w->focusPolicy() != Qt::NoFocus) {
                    w->setProperty(kFocus, int(w->focusPolicy()));
                    w->setFocusPolicy(Qt::NoFocus);
                    w->installEventFilter(blockerOf(field));
                }
        return;
    }
    field->setProperty(kOn, on);
    if (on) {
        auto* blocker = new InputBlocker(field);
        blocker->setObjectName(QLatin1String(kBlocker));
        for (QWidget* w : partsOf(field)) {
            w->setProperty(kFocus, int(w->focusPolicy()));
            w->setFocusPolicy(Qt::NoFocus);
            w->installEventFilter(blocker);
            if (w->hasFocus()) w->clearFocus();
        }
        field->setProperty(kPalette, field->testAttribute(Qt::WA_SetPalette)
                                         ? QVariant::fromValue(field->palette())
                                         : QVariant());
        QPalette pal = field->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setBrush(group, QPalette::Base, Qt::transparent);
        field->setPalette(pal);
        return;
    }
    delete blockerOf(field);
    for (QWidget* w : partsOf(field)) {
        const QVariant policy = w->property(kFocus);
        if (policy.isValid()) w->setFocusPolicy(Qt::FocusPolicy(policy.toInt()));
        w->setProperty(kFocus, QVariant());
    }
    const QVariant saved = field->property(kPalette);
    field->setPalette(saved.isValid() ? saved.value<QPalette>() : QPalette());
    field->setProperty(kPalette, QVariant());
}

bool isDisplayOnly(const QWidget* field) {
    return field->property(kOn).toBool();
}

}  // namespace fx::ui
