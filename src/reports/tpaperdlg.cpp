#include "tpaperdlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "prompt.h"

namespace fx::report {

namespace {

const QString kPaperCaption = QStringLiteral("请选择打印纸张");
const QString kUserCaption = QStringLiteral("使用者：");

// The paper list in the order of Paper; "自定义" prints on the printer's own paper.
const QStringList kPapers = {QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("A5"),
                             QStringLiteral("B4"), QStringLiteral("B5"), QStringLiteral("自定义")};
const QStringList kOrientations = {QStringLiteral("纵向"), QStringLiteral("横向")};

bool isEnter(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

TpaperDlg::TpaperDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TpaperDlg"));
    setWindowTitle(kPaperCaption);

    Label1 = new QLabel(
        QStringLiteral("注意：如需要修改打印时各列的宽度或顺序，请在列表中通过拖动来修改。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(320);
    Label2 = new QLabel(QStringLiteral("纸张尺寸："), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(QStringLiteral("打印方向："), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    ComboBox1 = new dictionary::TypeAheadBox(typeAhead_, this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox2 = new dictionary::TypeAheadBox(typeAhead_, this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    CheckBox1 = new QCheckBox(QStringLiteral("打印交接单"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox2 = new QCheckBox(QStringLiteral("先预览后打印"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(false);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->addWidget(Label2, 0, 0);
    fields->addWidget(ComboBox1, 0, 1);
    fields->addWidget(Label3, 1, 0);
    fields->addWidget(ComboBox2, 1, 1);
    fields->setColumnStretch(1, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(CheckBox1);
    checks->addWidget(CheckBox2);
    checks->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(fields);
    layout->addLayout(checks);
    layout->addLayout(buttons);

    // Paper use: two drop-down-only lists, A4 portrait chosen.
    ComboBox1->setTyping(false);
    ComboBox2->setTyping(false);
    ComboBox1->setEntries(kPapers);
    ComboBox2->setEntries(kOrientations);
    ComboBox1->setText(kPapers.first());
    ComboBox2->setText(kOrientations.first());
    CheckBox1->setVisible(false);
    CheckBox2->setVisible(false);

    connect(ComboBox1, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { copyUserToCustodian(text); });
    // The box drops a typed apostrophe; one pasted in goes the same way.
    for (dictionary::TypeAheadBox* box : {ComboBox1, ComboBox2})
        connect(box, &QComboBox::editTextChanged, this, [box](const QString& text) {
            if (text.contains(QLatin1Char('\'')))
                box->setText(QString(text).remove(QLatin1Char('\'')));
        });
    connect(ComboBox1, &dictionary::TypeAheadBox::left, this, [this] { trimText(ComboBox1); });
    connect(ComboBox2, &dictionary::TypeAheadBox::left, this, [this] { trimText(ComboBox2); });
    connect(ComboBox1, &dictionary::TypeAheadBox::enterPressed, this, [this] { ComboBox1Enter(); });
    connect(ComboBox2, &dictionary::TypeAheadBox::enterPressed, this, [this] { ComboBox2Enter(); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    CheckBox1->installEventFilter(this);
    CheckBox2->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TpaperDlg::configureAsTransferTarget(const TransferTargetSetup& setup) {
    setWindowTitle(QStringLiteral("请输入调拨目标"));
    setProperty("helpSection", QStringLiteral("transfer.html"));
    Label1->setText(
        QStringLiteral("请在下面填入将要使用该资产的位置或使用者,及保管人。"
                       "调拨过程将计入该资产的移交记录。"));
    Label2->setText(setup.placeCaption);
    Label3->setText(QStringLiteral("保管人："));
    ComboBox1->setTyping(true);
    ComboBox2->setTyping(true);
    ComboBox1->setEntries(setup.places);
    ComboBox2->setEntries(setup.custodians);
    ComboBox1->setText(QString());
    ComboBox2->setText(QString());
    ComboBox2->setEnabled(setup.custodianEnabled);
    CheckBox1->setChecked(false);
    CheckBox1->setVisible(true);
    CheckBox2->setVisible(false);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, ownColour());
    setPalette(pal);
    setAutoFillBackground(true);
    applyDialogTheme(this, setup.theme);
}

QString TpaperDlg::batchPlaceCaption(bool byLocation) {
    // The batch caption spaces "位置" with an ideographic space.
    return byLocation ? QStringLiteral("位　置：") : kUserCaption;
}

QColor TpaperDlg::ownColour() {
    return QColor(186, 197, 218);
}

Paper TpaperDlg::paper() const {
    static const Paper papers[] = {Paper::A4, Paper::A3, Paper::A5,
                                   Paper::B4, Paper::B5, Paper::PrinterDefault};
    const int i = int(kPapers.indexOf(ComboBox1->text()));
    return i < 0 ? Paper::A4 : papers[i];
}

Orientation TpaperDlg::orientation() const {
    return ComboBox2->text() == kOrientations.at(1) ? Orientation::Landscape
                                                    : Orientation::Portrait;
}

QString TpaperDlg::target() const {
    return ComboBox1->text().trimmed();
}

QString TpaperDlg::custodian() const {
    return ComboBox2->text().trimmed();
}

void TpaperDlg::proposeOrientation(Orientation orientation) {
    ComboBox2->setCurrentIndex(orientation == Orientation::Landscape ? 1 : 0);
}

bool TpaperDlg::printSlip() const {
    return CheckBox1->isChecked();
}

bool TpaperDlg::previewFirst() const {
    return CheckBox1->isChecked() && CheckBox2->isChecked();
}

void TpaperDlg::BitBtn1Click() {
    trimText(ComboBox1);
    trimText(ComboBox2);
    if (ComboBox1->text().isEmpty()) {
        ui::prompt(this, {QStringLiteral("提示"), QStringLiteral("位置或使用者栏中必须填写内容。"),
                          ui::Icon::Warning});
        return;
    }
    accept();
}

void TpaperDlg::CheckBox1Click() {
    CheckBox2->setVisible(CheckBox1->isChecked());
}

void TpaperDlg::ComboBox1Enter() {
    if (ComboBox2->isEnabled())
        ComboBox2->setFocus();
    else if (!CheckBox1->isHidden())
        CheckBox1->setFocus();
}

void TpaperDlg::ComboBox2Enter() {
    if (!CheckBox1->isHidden()) CheckBox1->setFocus();
}

bool TpaperDlg::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == CheckBox1 || watched == CheckBox2) && isEnter(event)) {
        static_cast<QCheckBox*>(watched)->toggle();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TpaperDlg::copyUserToCustodian(const QString& text) {
    // A user keeps the asset himself: he is its custodian.
    if (Label2->text() == kUserCaption) ComboBox2->setText(text);
}

void TpaperDlg::trimText(dictionary::TypeAheadBox* box) {
    if (!box->isTyping()) return;
    const QString trimmed = box->text().trimmed();
    if (trimmed != box->text()) box->setText(trimmed);
}

}  // namespace fx::report
