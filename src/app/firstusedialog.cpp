#include "firstusedialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fx {

QString TFirstUseDlg::defaultCaption() {
    return QStringLiteral("初次使用");
}

QString TFirstUseDlg::defaultPrompt() {
    return QStringLiteral(
        "欢迎使用本管理系统，请在下面输入贵公司的名称，本栏内容将反映在报表中，请注意正确填写。");
}

TFirstUseDlg::TFirstUseDlg(const QString& name, QWidget* parent, const QString& caption,
                           const QString& prompt)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TFirstUseDlg"));
    setWindowTitle(caption);

    Label1 = new QLabel(prompt, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(kMaxNameLength);
    Edit1->setText(name);
    Button1 = new QPushButton(QStringLiteral("确认"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addLayout(buttons);
    setFixedWidth(360);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

QString TFirstUseDlg::name() const {
    return Edit1->text();
}

void TFirstUseDlg::Button1Click() {
    accept();
}

void TFirstUseDlg::reject() {}

}  // namespace fx
