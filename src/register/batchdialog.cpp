#include "batchdialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "modal.h"

namespace fx {

TplzjDlg::TplzjDlg(Theme theme, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TplzjDlg"));
    setWindowTitle(QStringLiteral("批量增加"));

    Label1 = new QLabel(QStringLiteral("请您输入一次增加该种固定资产的数量"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(0, kMaxCount);
    SpinEdit1->setValue(1);
    SpinEdit1->installEventFilter(this);
    Label2 = new QLabel(QStringLiteral("件"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });

    auto* count = new QHBoxLayout;
    count->addStretch();
    count->addWidget(SpinEdit1);
    count->addWidget(Label2);
    count->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(count);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());

    applyDialogTheme(this, theme);
    SpinEdit1->setFocus();
    SpinEdit1->selectAll();
}

int TplzjDlg::count() const {
    return result() == QDialog::Accepted ? SpinEdit1->value() : 0;
}

void TplzjDlg::BitBtn1Click() {
    // A number typed but not yet taken by the spin box counts too.
    SpinEdit1->interpretText();
    accept();
}

void TplzjDlg::BitBtn2Click() {
    reject();
}

int TplzjDlg::ask(Theme theme, QWidget* parent) {
    TplzjDlg dialog(theme, parent);
    ui::runModal(dialog);
    return dialog.count();
}

bool TplzjDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SpinEdit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter moves on to "确定"; a second Enter there confirms.
            SpinEdit1->interpretText();
            BitBtn1->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace fx
