#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QPushButton>

#include "historylists.h"
#include "mainform.h"

// The change history reached from the main window: the card's "变更记录" button below
// "调拨记录" with its item in "更改数据", and the administrator's "操作记录查询…" in "系统维护".

namespace fx {

namespace {

// Keeps a button enabled exactly when another one is: "变更记录" belongs to a shown asset just
// as "调拨记录" does, so it follows that button through every state of the card.
class EnabledFollower : public QObject {
public:
    EnabledFollower(QWidget* leader, QWidget* follower) : QObject(follower), follower_(follower) {
        leader->installEventFilter(this);
        follower->setEnabled(leader->isEnabled());
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange)
            follower_->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        return false;
    }

private:
    QWidget* follower_;
};

}  // namespace

void TMainForm::bindHistoryCommands() {
    BitBtn9 = new QPushButton(QStringLiteral("变更记录"), BitBtn3->parentWidget());
    BitBtn9->setObjectName(QStringLiteral("BitBtn9"));
    const QRect below = BitBtn3->geometry().translated(0, BitBtn3->height() + 3);
    BitBtn9->setGeometry(below);
    BitBtn9->raise();
    new EnabledFollower(BitBtn3, BitBtn9);
    connect(BitBtn9, &QPushButton::clicked, this, [this] { ChangeHistory1Click(); });

    ChangeHistory1 = new QAction(QStringLiteral("变更记录"), this);
    ChangeHistory1->setObjectName(QStringLiteral("ChangeHistory1"));
    DataMenu->insertAction(nextAction(DataMenu, Transfer1), ChangeHistory1);
    connect(ChangeHistory1, &QAction::triggered, this, [this] { runCommand(ChangeHistory1); });
    bindCommand(ChangeHistory1, [this] { ChangeHistory1Click(); });

    HistoryQuery1 = new QAction(QStringLiteral("操作记录查询…"), this);
    HistoryQuery1->setObjectName(QStringLiteral("HistoryQuery1"));
    SystemMenu->insertAction(nextAction(SystemMenu, N19), HistoryQuery1);
    connect(HistoryQuery1, &QAction::triggered, this, [this] { runCommand(HistoryQuery1); });
    bindCommand(HistoryQuery1, [this] { query::queryChangeHistory(this, state_, queryState_); });
    // The whole history concerns all users: the administrator's, as "用户管理" is.
    setCommandEnabled(HistoryQuery1, state_.isAdministrator());
}

QAction* TMainForm::nextAction(QMenu* menu, QAction* after) {
    const QList<QAction*> actions = menu->actions();
    const qsizetype i = actions.indexOf(after);
    return i >= 0 && i + 1 < actions.size() ? actions.at(i + 1) : nullptr;
}

void TMainForm::ChangeHistory1Click() {
    if (shownSerial_ == 0) return;
    query::listChangeHistory(this, state_, queryState_, shownSerial_);
}

}  // namespace fx
