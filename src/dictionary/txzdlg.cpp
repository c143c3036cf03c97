#include "txzdlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dictionaryedits.h"
#include "modal.h"
#include "prefixedit.h"
#include "prompt.h"

namespace fx::dictionary {

TxzDlg::TxzDlg(Form form, Theme theme, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      form_(form) {
    setObjectName(QStringLiteral("TxzDlg"));
    setWindowTitle(QStringLiteral("请选择该数据字典项的属性"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(300);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    RadioButton1 = new QRadioButton(this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    xz = new QComboBox(this);
    xz->setObjectName(QStringLiteral("xz"));
    xz->setEditable(false);
    CSpinEdit1 = new QSpinBox(this);
    CSpinEdit1->setObjectName(QStringLiteral("CSpinEdit1"));
    CSpinEdit1->installEventFilter(this);
    Label3 = new QLabel(QStringLiteral("请填写新增资产缺省编号头："), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Edit1 = new PrefixEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    auto* spinRow = new QHBoxLayout;
    spinRow->addWidget(CSpinEdit1);
    spinRow->addWidget(Label2);
    spinRow->addStretch();
    auto* prefixRow = new QHBoxLayout;
    prefixRow->addWidget(Label3);
    prefixRow->addWidget(Edit1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(BitBtn1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(RadioButton1);
    layout->addWidget(RadioButton2);
    layout->addWidget(xz);
    layout->addLayout(spinRow);
    layout->addLayout(prefixRow);
    layout->addLayout(buttonRow);

    // Only the controls of the form show.
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(RadioButton1),
                       static_cast<QWidget*>(RadioButton2), static_cast<QWidget*>(xz),
                       static_cast<QWidget*>(CSpinEdit1), static_cast<QWidget*>(Label3),
                       static_cast<QWidget*>(Edit1)})
        w->setVisible(false);
    switch (form) {
        case Form::Rate:
            Label1->setText(QStringLiteral(
                "请填写该类固定资产的预计净残值率（低值易耗品按月摊销填0，不折旧填100）"));
            CSpinEdit1->setRange(0, 100);
            CSpinEdit1->setValue(5);
            Label2->setText(QStringLiteral("％"));
            for (QWidget* w : {static_cast<QWidget*>(CSpinEdit1), static_cast<QWidget*>(Label2),
                               static_cast<QWidget*>(Label3), static_cast<QWidget*>(Edit1)})
                w->setVisible(true);
            break;
        case Form::Storage:
            Label1->setText(QStringLiteral("该物品是按使用者名义存放的吗？请您选择："));
            RadioButton1->setText(QStringLiteral("按使用者"));
            RadioButton2->setText(QStringLiteral("按存放位置"));
            RadioButton2->setChecked(true);
            for (QWidget* w :
                 {static_cast<QWidget*>(RadioButton1), static_cast<QWidget*>(RadioButton2),
                  static_cast<QWidget*>(Label3), static_cast<QWidget*>(Edit1)})
                w->setVisible(true);
            break;
        case Form::DepartmentQuestion:
            Label1->setText(QStringLiteral("该位置是部门名称吗？请您选择："));
            RadioButton1->setText(QStringLiteral("是部门名称"));
            RadioButton2->setText(QStringLiteral("不是部门名称"));
            RadioButton2->setChecked(true);
            RadioButton1->setVisible(true);
            RadioButton2->setVisible(true);
            break;
        case Form::DepartmentChoice:
            Label1->setText(QStringLiteral("该使用者属于哪一部门？请您选择："));
            xz->setVisible(true);
            break;
        case Form::Months:
            Label1->setText(QStringLiteral("该期限相当于几个月度会计期间,请选择:"));
            CSpinEdit1->setRange(1, 1200);
            CSpinEdit1->setValue(1);
            Label2->setText(QStringLiteral("个月"));
            CSpinEdit1->setVisible(true);
            Label2->setVisible(true);
            break;
    }

    QPalette pal = palette();
    pal.setColor(QPalette::Window, ownColour());
    setPalette(pal);
    setAutoFillBackground(true);
    applyDialogTheme(this, theme);
}

QColor TxzDlg::ownColour() {
    return QColor(186, 197, 218);
}

void TxzDlg::setPrefix(const QString& prefix) {
    Edit1->setText(prefix);
}

void TxzDlg::setDepartments(const QStringList& departments) {
    xz->clear();
    xz->addItems(departments);
    xz->setCurrentIndex(-1);
}

int TxzDlg::number() const {
    return CSpinEdit1->value();
}

QString TxzDlg::prefix() const {
    return Edit1->text().toUpper();
}

bool TxzDlg::byUser() const {
    return RadioButton1->isChecked();
}

bool TxzDlg::isDepartment() const {
    return RadioButton1->isChecked();
}

QString TxzDlg::department() const {
    return xz->currentIndex() < 0 ? QString() : xz->currentText();
}

void TxzDlg::BitBtn1Click() {
    if (!Edit1->isHidden() && Edit1->text().isEmpty()) {
        ui::inform(this, QStringLiteral("请填写新增资产缺省编号头。"));
        Edit1->setFocus();
        return;
    }
    accept();
}

void TxzDlg::done(int result) {
    if (!xz->isHidden() && xz->currentIndex() < 0) {
        ui::prompt(this, {QStringLiteral("提示"), QStringLiteral("该栏必须有选择内容。"),
                          ui::Icon::Warning});
        return;
    }
    QDialog::done(result);
}

bool TxzDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CSpinEdit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter in the spin edit moves on to "确定"; a value above the maximum is set back.
            CSpinEdit1->interpretText();
            BitBtn1->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString noDepartmentMessage() {
    return QStringLiteral("数据字典中还没有部门名称，请先在[位置]中把一个位置定义为部门名称。");
}

std::optional<QString> chooseDepartment(QWidget* parent, db::Connection& c, Theme theme) {
    const QStringList places = departments(c);
    if (places.isEmpty()) {
        ui::inform(parent, noDepartmentMessage());
        return std::nullopt;
    }
    TxzDlg dialog(TxzDlg::Form::DepartmentChoice, theme, parent);
    dialog.setDepartments(places);
    ui::runModal(dialog);
    return dialog.department();
}

}  // namespace fx::dictionary
