#include "locationdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
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

    RadioButton3 = new QRadioButton(QStringLiteral("数据库服务器"), this);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    auto label = [this](const char* name, const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setBuddy(buddy);
        return l;
    };
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    Edit1 = edit("Edit1");
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, 65535);
    SpinEdit1->setValue(kDefaultServerPort);
    Edit2 = edit("Edit2");
    Edit3 = edit("Edit3");
    Edit4 = edit("Edit4");
    Edit4->setEchoMode(QLineEdit::Password);
    Edit4->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Label2 = label("Label2", QStringLiteral("服务器地址"), Edit1);
    Label3 = label("Label3", QStringLiteral("端口"), SpinEdit1);
    Label4 = label("Label4", QStringLiteral("数据库名"), Edit2);
    Label5 = label("Label5", QStringLiteral("用户名"), Edit3);
    Label6 = label("Label6", QStringLiteral("服务器密码"), Edit4);
    CheckBox1 = new QCheckBox(QStringLiteral("记住密码"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

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
    choice->addSpacing(8);
    choice->addWidget(RadioButton3);
    auto* server = new QGridLayout;
    server->addWidget(Label2, 0, 0);
    server->addWidget(Edit1, 0, 1);
    server->addWidget(Label3, 1, 0);
    server->addWidget(SpinEdit1, 1, 1);
    server->addWidget(Label4, 2, 0);
    server->addWidget(Edit2, 2, 1);
    server->addWidget(Label5, 3, 0);
    server->addWidget(Edit3, 3, 1);
    server->addWidget(Label6, 4, 0);
    server->addWidget(Edit4, 4, 1);
    server->addWidget(CheckBox1, 5, 1);
    choice->addLayout(server);
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
    connect(RadioButton3, &QRadioButton::toggled, this, [this] { RadioButtonClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    FormShow();
}

void TLocationDlg::FormShow() {
    const DataLocation loc = readDataLocation(startDir_);
    (loc.server ? RadioButton3 : loc.network ? RadioButton2 : RadioButton1)->setChecked(true);
    Edit1->setText(loc.host);
    SpinEdit1->setValue(loc.port);
    Edit2->setText(loc.dbname);
    Edit3->setText(loc.user);
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
    const bool server = RadioButton3->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label2, Edit1, Label3, SpinEdit1, Label4, Edit2, Label5,
                                         Edit3, Label6, Edit4, CheckBox1})
        w->setEnabled(server);
}

QString TLocationDlg::serverPassword() const {
    return RadioButton3->isChecked() ? Edit4->text() : QString();
}

bool TLocationDlg::rememberPassword() const {
    return RadioButton3->isChecked() && CheckBox1->isChecked();
}

std::optional<Drive> TLocationDlg::chosenDrive() const {
    const int i = DriveComboBox1->currentIndex();
    if (i < 0 || i >= drives_.size()) return std::nullopt;
    return drives_[i];
}

void TLocationDlg::Button1Click() {
    // The keys of the file location keep what they held: a workstation with an older program
    // reading the same qslpath.ini goes on to the files it knew.
    DataLocation loc = readDataLocation(startDir_);
    loc.server = RadioButton3->isChecked();
    loc.host = Edit1->text().trimmed();
    loc.port = SpinEdit1->value();
    loc.dbname = Edit2->text().trimmed();
    loc.user = Edit3->text().trimmed();
    if (loc.server) {
        if (loc.host.isEmpty() || loc.dbname.isEmpty() || loc.user.isEmpty()) {
            ui::warn(this, QStringLiteral("请填写数据库服务器的地址、数据库名和用户名。"),
                     QStringLiteral("提示"));
            return;
        }
        writeDataLocation(startDir_, loc);
        accept();
        return;
    }
    const bool network = RadioButton2->isChecked();
    const std::optional<Drive> drive = chosenDrive();
    if (network && (!drive || !QFileInfo::exists(driveDataDir(*drive) +
                                                 QString::fromLatin1(schema::kCurrentFile)))) {
        ui::warn(this, QStringLiteral("该驱动器不存在数据库文件,请重新选择。"),
                 QStringLiteral("提示"));
        return;
    }
    loc.network = network;
    loc.driver = 0;
    loc.root.clear();
    if (drive) {
        loc.driver = drive->letter.unicode();
        loc.root = drive->root;
    }
    writeDataLocation(startDir_, loc);
    accept();
}

}  // namespace fx
