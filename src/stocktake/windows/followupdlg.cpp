#include "followupdlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fx::stocktake {

FollowUpDlg::FollowUpDlg(int assets, const QString& remark, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FollowUpDlg"));
    setWindowTitle(QStringLiteral("跟进备注"));
    FollowUpEdit = new QLineEdit(remark, this);
    FollowUpEdit->setObjectName(QStringLiteral("FollowUpEdit"));
    FollowUpEdit->setMaxLength(100);  // pdmx.gz
    FollowUpEdit->setMinimumWidth(320);
    OkButton = new QPushButton(QStringLiteral("确定"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("取消"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("选中的%1件盘亏资产的跟进备注（账上不变）：").arg(assets), this));
    layout->addWidget(FollowUpEdit);
    layout->addLayout(buttons);
}

QString FollowUpDlg::remark() const {
    return FollowUpEdit->text().trimmed();
}

}  // namespace fx::stocktake
