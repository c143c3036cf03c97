#include "tinputpzdlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "txzdlg.h"

namespace fx::dictionary {

TinputpzDlg::TinputpzDlg(Theme theme, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TinputpzDlg"));
    setWindowTitle(QStringLiteral("输入相应配置吗？"));

    Label1 =
        new QLabel(QStringLiteral("如果该型号的设备有具体的硬件配置,并需要把该配置加入数据字典中,"
                                  "请在输入后,按确定键。"),
                   this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(320);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    // sbpz holds at most 100 characters; the text goes into a statement between quotes.
    Edit1->setMaxLength(100);
    Edit1->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^']*")), Edit1));
    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addLayout(buttons);

    // The same own colour and theme rule as the attribute dialog.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, TxzDlg::ownColour());
    setPalette(pal);
    setAutoFillBackground(true);
    applyDialogTheme(this, theme);
}

QString TinputpzDlg::configuration() const {
    return Edit1->text().trimmed();
}

}  // namespace fx::dictionary
