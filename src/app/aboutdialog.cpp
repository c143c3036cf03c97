#include "aboutdialog.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "splashwindow.h"

namespace fx {

QString TAboutBox::productName() {
    return QStringLiteral("青石岭通用固定资产管理系统");
}

QString TAboutBox::version() {
    return QStringLiteral("版本 ") + QStringLiteral(FX_VERSION);
}

TAboutBox::TAboutBox(Theme theme, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("关于"));

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    // A corner of the splash picture: the ridge serves as the program's emblem.
    ProgramIcon->setPixmap(TSplashForm::picture()
                               .copy(QRect(0, 160, 200, 200))
                               .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ProgramIcon->setFrameShape(QFrame::Panel);
    ProgramIcon->setFrameShadow(QFrame::Sunken);

    ProductName = new QLabel(productName(), this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    ProductName->setFont(big);
    Version = new QLabel(version(), this);
    Version->setObjectName(QStringLiteral("Version"));
    Copyright = new QLabel(QStringLiteral("云杉软件屋 版权所有"), this);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Comments = new QLabel(
        QStringLiteral("固定资产及低值易耗品的登记、查询、借还、调拨、折旧与报表。"), this);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setWordWrap(true);

    OKButton = new QPushButton(QStringLiteral("确定"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(ProductName);
    text->addWidget(Version);
    text->addWidget(Copyright);
    text->addSpacing(8);
    text->addWidget(Comments);
    auto* top = new QHBoxLayout;
    top->addWidget(ProgramIcon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setFixedWidth(380);

    applyDialogTheme(this, theme);
}

}  // namespace fx
