#include "serverpassworddialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fx {

TServerPasswordDlg::TServerPasswordDlg(const QString& account, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TServerPasswordDlg"));
    setWindowTitle(QStringLiteral("数据库服务器密码"));

    Label1 = new QLabel(QStringLiteral("请输入数据库服务器账号 %1 的密码：").arg(account), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    Edit1->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Label1->setBuddy(Edit1);
    CheckBox1 = new QCheckBox(QStringLiteral("记住密码"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addWidget(CheckBox1);
    layout->addLayout(buttons);
    setMinimumWidth(340);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

QString TServerPasswordDlg::password() const {
    return Edit1->text();
}

bool TServerPasswordDlg::remember() const {
    return CheckBox1->isChecked();
}

}  // namespace fx
