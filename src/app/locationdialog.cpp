#include "locationdialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "prompt.h"
#include "schema.h"

namespace fx {

TLocationDlg::TLocationDlg(const QString& startDir, QWidget* parent)
    : QDialog(parent), startDir_(startDir), drives_(availableDrives()) {
    setObjectName(QStringLiteral("TLocationDlg"));
    setWindowTitle(QStringLiteral("选择数据库"));

    RadioButton1 = new QRadioButton(QStringLiteral("采用本地数据库"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("采用网络数据库"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    Label1 = new QLabel(QStringLiteral("请选择已经映射好的网络驱动器"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setMinimumWidth(220);
    for (const Drive& d : std::as_const(drives_)) DriveComboBox1->addItem(d.displayText());
    Label1->setBuddy(DriveComboBox1);

    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    auto* choice = new QVBoxLayout;
    choice->addWidget(RadioButton1);
    choice->addWidget(RadioButton2);
    choice->addSpacing(8);
    choice->addWidget(Label1);
    choice->addWidget(DriveComboBox1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    connect(RadioButton1, &QRadioButton::toggled, this, [this] { RadioButtonClick(); });
    connect(RadioButton2, &QRadioButton::toggled, this, [this] { RadioButtonClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    FormShow();
}

void TLocationDlg::FormShow() {
    const DataLocation loc = readDataLocation(startDir_);
    (loc.network ? RadioButton2 : RadioButton1)->setChecked(true);
    if (const auto drive = findDrive(drives_, loc)) {
        for (int i = 0; i < drives_.size(); ++i) {
            if (drives_[i].root == drive->root) DriveComboBox1->setCurrentIndex(i);
        }
    }
    RadioButtonClick();
}

void TLocationDlg::RadioButtonClick() {
    const bool network = RadioButton2->isChecked();
    Label1->setEnabled(network);
    DriveComboBox1->setEnabled(network);
}

std::optional<Drive> TLocationDlg::chosenDrive() const {
    const int i = DriveComboBox1->currentIndex();
    if (i < 0 || i >= drives_.size()) return std::nullopt;
    return drives_[i];
}

void TLocationDlg::Button1Click() {
    const bool network = RadioButton2->isChecked();
    const std::optional<Drive> drive = chosenDrive();
    if (network && (!drive || !QFileInfo::exists(driveDataDir(*drive) +
                                                 QString::fromLatin1(schema::kCurrentFile)))) {
        ui::warn(this, QStringLiteral("该驱动器不存在数据库文件,请重新选择。"),
                 QStringLiteral("提示"));
        return;
    }
    DataLocation loc;
    loc.network = network;
    if (drive) {
        loc.driver = drive->letter.unicode();
        loc.root = drive->root;
    }
    writeDataLocation(startDir_, loc);
    accept();
}

}  // namespace fx
