#include "settingsdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "clicklabel.h"
#include "radiogroup.h"
#include "theme.h"

namespace fx {

namespace {

QCheckBox* makeCheckBox(const QString& name, const QString& text, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QRadioButton* makeRadioButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    return button;
}

ui::RadioGroup* makeRadioGroup(const QString& name, const QString& caption,
                               const QStringList& items, QWidget* parent, int columns = 1) {
    auto* group = new ui::RadioGroup(caption, items, parent, columns);
    group->setObjectName(name);
    return group;
}

ui::ClickLabel* makeClickLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new ui::ClickLabel(text, parent);
    label->setObjectName(name);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 192));
    label->setPalette(pal);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    return label;
}

// Clears a radio button even when it is the selected one of its group, which Qt's automatic
// exclusiveness would otherwise refuse.
void unselect(QRadioButton* button) {
    if (!button->isChecked()) return;
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

// The index of a group's selected item, or the old value when none is selected.
int indexOr(const ui::RadioGroup* group, int old) {
    const int i = group->itemIndex();
    return i < 0 ? old : i;
}

}  // namespace

TxtszDlg::TxtszDlg(AppState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), state_(state) {
    setObjectName(QStringLiteral("TxtszDlg"));
    setWindowTitle(QStringLiteral("系统设置"));

    GroupBox1 = new QGroupBox(QStringLiteral("主界面部分允许手工输入设置"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    CheckBox1 = makeCheckBox(QStringLiteral("CheckBox1"), QStringLiteral("名称栏"), GroupBox1);
    CheckBox2 = makeCheckBox(QStringLiteral("CheckBox2"), QStringLiteral("用途栏"), GroupBox1);
    CheckBox3 = makeCheckBox(QStringLiteral("CheckBox3"), QStringLiteral("型号栏"), GroupBox1);
    CheckBox4 =
        makeCheckBox(QStringLiteral("CheckBox4"), QStringLiteral("位置及使用者栏"), GroupBox1);
    auto* boxes = new QGridLayout(GroupBox1);
    boxes->addWidget(CheckBox1, 0, 0);
    boxes->addWidget(CheckBox2, 0, 1);
    boxes->addWidget(CheckBox3, 1, 0);
    boxes->addWidget(CheckBox4, 1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("本用户主界面输入设置"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    RadioButton1 = makeRadioButton(QStringLiteral("RadioButton1"),
                                   QStringLiteral("全部内容允许手工输入"), GroupBox2);
    RadioButton2 = makeRadioButton(QStringLiteral("RadioButton2"),
                                   QStringLiteral("仅允许部分必要的手工输入"), GroupBox2);
    RadioButton3 = makeRadioButton(QStringLiteral("RadioButton3"),
                                   QStringLiteral("不允许任何手工输入"), GroupBox2);
    auto* modes = new QVBoxLayout(GroupBox2);
    modes->addWidget(RadioButton1);
    modes->addWidget(RadioButton2);
    modes->addWidget(RadioButton3);

    RadioGroup1 = makeRadioGroup(
        QStringLiteral("RadioGroup1"), QStringLiteral("系统主界面输入设置"),
        {QStringLiteral("允许用户自由设置输入方式"), QStringLiteral("仅允许用户支持部分手工输入"),
         QStringLiteral("不允许任何用户手工输入")},
        this);
    RadioGroup2 = makeRadioGroup(QStringLiteral("RadioGroup2"), QStringLiteral("系统数据字典设置"),
                                 {QStringLiteral("手工输入内容不属于字典时提示加入"),
                                  QStringLiteral("手工输入内容不属于字典时自动加入"),
                                  QStringLiteral("新增资产各栏内容必须已在字典中"),
                                  QStringLiteral("对手工输入不进行判断也不向数据字典添加")},
                                 this);
    RadioGroup3 =
        makeRadioGroup(QStringLiteral("RadioGroup3"), QStringLiteral("系统借出资产归还方式"),
                       {QStringLiteral("只有批复人可以归还该物品"),
                        QStringLiteral("可由所有含归还审核权的用户归还")},
                       this);
    RadioGroup4 =
        makeRadioGroup(QStringLiteral("RadioGroup4"), QStringLiteral("本用户查询条件窗口输入设置"),
                       {QStringLiteral("支持手工输入"), QStringLiteral("不支持手工输入")}, this);
    RadioGroup5 = makeRadioGroup(
        QStringLiteral("RadioGroup5"), QStringLiteral("本用户折旧及净值显示"),
        {QStringLiteral("显示折旧及净值情况"), QStringLiteral("不显示折旧及净值情况")}, this, 2);

    Label1 = makeClickLabel(QStringLiteral("Label1"), QStringLiteral("录入型方案"), this);
    Label2 = makeClickLabel(QStringLiteral("Label2"), QStringLiteral("快捷型方案"), this);
    Label3 = makeClickLabel(QStringLiteral("Label3"), QStringLiteral("缺省方案"), this);

    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    // The user's own options on the left, the installation's on the right.
    auto* left = new QVBoxLayout;
    left->addWidget(GroupBox1);
    left->addWidget(GroupBox2);
    left->addWidget(RadioGroup4);
    left->addWidget(RadioGroup5);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(RadioGroup1);
    right->addWidget(RadioGroup2);
    right->addWidget(RadioGroup3);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label1);
    bottom->addSpacing(12);
    bottom->addWidget(Label2);
    bottom->addSpacing(12);
    bottom->addWidget(Label3);
    bottom->addStretch();
    bottom->addWidget(Button1);
    bottom->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(bottom);

    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton1Click();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton2Click();
    });
    connect(RadioButton3, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton3Click();
    });
    connect(RadioGroup1, &ui::RadioGroup::itemIndexChanged, this, [this] { RadioGroup1Click(); });
    connect(Label1, &ui::ClickLabel::clicked, this, [this] { Label1Click(); });
    connect(Label2, &ui::ClickLabel::clicked, this, [this] { Label2Click(); });
    connect(Label3, &ui::ClickLabel::clicked, this, [this] { Label3Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    FormShow();
}

void TxtszDlg::FormShow() {
    applyDialogTheme(this, state_.theme);

    if (!state_.isAdministrator()) {
        RadioGroup1->setEnabled(false);
        RadioGroup2->setEnabled(false);
        RadioGroup3->setEnabled(false);
        Label1->hide();
        Label2->hide();
        Label3->hide();
    }

    const Settings& s = state_.settings;
    CheckBox1->setChecked(s.mcl == 1);
    CheckBox2->setChecked(s.ytl == 1);
    CheckBox3->setChecked(s.xhl == 1);
    CheckBox4->setChecked(s.wzl == 1);
    switch (s.input) {
        case 0:
            RadioButton1->setChecked(true);
            break;
        case 1:
            RadioButton2->setChecked(true);
            break;
        case 2:
            RadioButton3->setChecked(true);
            break;
        default:
            break;
    }
    RadioGroup1->setItemIndex(s.inputmode);
    RadioGroup3->setItemIndex(s.returner);
    RadioGroup2->setItemIndex(s.datadic);
    RadioGroup4->setItemIndex(s.cxc);
    RadioGroup5->setItemIndex(s.zjxs);
}

void TxtszDlg::RadioButton1Click() {
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4}) {
        box->setChecked(true);
        box->setEnabled(false);
    }
}

void TxtszDlg::RadioButton2Click() {
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4}) box->setEnabled(true);
}

void TxtszDlg::RadioButton3Click() {
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4}) {
        box->setChecked(false);
        box->setEnabled(false);
    }
}

void TxtszDlg::RadioGroup1Click() {
    switch (RadioGroup1->itemIndex()) {
        case 2:
            unselect(RadioButton1);
            unselect(RadioButton2);
            RadioButton1->setEnabled(false);
            RadioButton2->setEnabled(false);
            RadioButton3->setChecked(true);
            break;
        case 1:
            RadioButton2->setEnabled(true);
            unselect(RadioButton1);
            RadioButton1->setEnabled(false);
            if (!RadioButton2->isChecked()) RadioButton3->setChecked(true);
            break;
        case 0:
            RadioButton1->setEnabled(true);
            RadioButton2->setEnabled(true);
            break;
        default:
            break;
    }
}

void TxtszDlg::Label1Click() {
    RadioGroup1->setItemIndex(0);
    RadioGroup2->setItemIndex(0);
    RadioGroup3->setItemIndex(1);
    RadioButton1->setChecked(true);
    RadioGroup4->setItemIndex(0);
}

void TxtszDlg::Label2Click() {
    RadioGroup1->setItemIndex(2);
    RadioGroup4->setItemIndex(1);
    RadioGroup2->setItemIndex(1);
}

void TxtszDlg::Label3Click() {
    RadioGroup1->setItemIndex(1);
    RadioGroup2->setItemIndex(0);
    RadioGroup3->setItemIndex(1);
    RadioButton2->setChecked(true);
    RadioGroup4->setItemIndex(0);
}

Settings TxtszDlg::chosenSettings() const {
    Settings s = state_.settings;
    s.mcl = CheckBox1->isChecked() ? 1 : 0;
    s.ytl = CheckBox2->isChecked() ? 1 : 0;
    s.xhl = CheckBox3->isChecked() ? 1 : 0;
    s.wzl = CheckBox4->isChecked() ? 1 : 0;
    if (RadioButton1->isChecked()) {
        s.input = 0;
    } else if (RadioButton2->isChecked()) {
        s.input = 1;
    } else if (RadioButton3->isChecked()) {
        s.input = 2;
    }
    s.cxc = indexOr(RadioGroup4, s.cxc);
    s.zjxs = indexOr(RadioGroup5, s.zjxs);
    s.datadic = indexOr(RadioGroup2, s.datadic);
    s.inputmode = indexOr(RadioGroup1, s.inputmode);
    s.returner = indexOr(RadioGroup3, s.returner);
    return s;
}

void TxtszDlg::Button1Click() {
    const Settings s = chosenSettings();
    const QString ini = state_.settingsPath();
    writeUserSettings(ini, state_.userName, s);
    writeSystemSettings(ini, s);
    state_.settings = s;
    accept();
}

}  // namespace fx
