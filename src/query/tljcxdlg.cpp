#include "tljcxdlg.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "clock.h"
#include "logicalcondition.h"
#include "prompt.h"
#include "theme.h"

namespace fx::query {

namespace {

const QString kAnd = QStringLiteral("并且");
const QString kOr = QStringLiteral("或者");

// The field of a row's list: nullptr for the empty entry or nothing chosen.
const LogicalField* chosenField(const QComboBox* box) {
    return logicalField(box->currentText());
}

}  // namespace

TljcxDlg::TljcxDlg(AppState& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("TljcxDlg"));
    setWindowTitle(QStringLiteral("逻辑查寻"));
    buildControls();
    applyDialogTheme(this, app_.theme);
    applyDialogTheme(GroupBox1, app_.theme);
}

TljcxDlg::~TljcxDlg() = default;

void TljcxDlg::buildControls() {
    GroupBox1 = new QGroupBox(QStringLiteral("查寻条件"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(GroupBox1);

    QStringList fieldCaptions;
    for (const LogicalField& f : logicalFields()) fieldCaptions << QString::fromUtf8(f.caption);
    fieldCaptions << QString();

    QComboBox** boxes[] = {&ComboBox1,  &ComboBox2,  &ComboBox3,  &ComboBox4,  &ComboBox5,
                           &ComboBox6,  &ComboBox7,  &ComboBox8,  &ComboBox9,  &ComboBox10,
                           &ComboBox11, &ComboBox12, &ComboBox13, &ComboBox14, &ComboBox15,
                           &ComboBox16, &ComboBox17};
    for (int i = 0; i < 17; ++i) {
        auto* box = new QComboBox(GroupBox1);
        box->setObjectName(QStringLiteral("ComboBox") + QString::number(i + 1));
        *boxes[i] = box;
    }
    QLineEdit** edits[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6};
    for (int i = 0; i < kRows; ++i) {
        auto* edit = new QLineEdit(GroupBox1);
        edit->setObjectName(QStringLiteral("Edit") + QString::number(i + 1));
        edit->installEventFilter(this);
        *edits[i] = edit;
    }

    grid->addWidget(new QLabel(QStringLiteral("字段"), GroupBox1), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("条件"), GroupBox1), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("值"), GroupBox1), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("关系"), GroupBox1), 0, 3);
    for (int k = 1; k <= kRows; ++k) {
        QComboBox* field = fieldBox(k);
        field->addItems(fieldCaptions);
        field->setCurrentIndex(-1);
        field->setMinimumWidth(120);
        QComboBox* op = operatorBox(k);
        op->setMinimumWidth(90);
        grid->addWidget(field, k, 0);
        grid->addWidget(op, k, 1);
        grid->addWidget(valueBox(k), k, 2);
        connect(field, &QComboBox::activated, this, [this, k] { FieldChange(k); });
        if (QComboBox* connector = connectorBox(k)) {
            connector->addItems({kAnd, kOr, QString()});
            connector->setCurrentIndex(-1);
            grid->addWidget(connector, k, 3);
            connect(connector, &QComboBox::activated, this, [this, k] { ConnectorChange(k); });
        }
        setRowEnabled(k, k == 1);
    }

    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        condition_.clear();
        reject();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(GroupBox1);
    outer->addLayout(buttons);
}

QComboBox* TljcxDlg::fieldBox(int k) const {
    QComboBox* const list[] = {ComboBox1, ComboBox4, ComboBox7, ComboBox10, ComboBox13, ComboBox16};
    return k >= 1 && k <= kRows ? list[k - 1] : nullptr;
}

QComboBox* TljcxDlg::operatorBox(int k) const {
    QComboBox* const list[] = {ComboBox2, ComboBox5, ComboBox8, ComboBox11, ComboBox14, ComboBox17};
    return k >= 1 && k <= kRows ? list[k - 1] : nullptr;
}

QLineEdit* TljcxDlg::valueBox(int k) const {
    QLineEdit* const list[] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6};
    return k >= 1 && k <= kRows ? list[k - 1] : nullptr;
}

QComboBox* TljcxDlg::connectorBox(int k) const {
    QComboBox* const list[] = {ComboBox3, ComboBox6, ComboBox9, ComboBox12, ComboBox15};
    return k >= 1 && k < kRows ? list[k - 1] : nullptr;
}

void TljcxDlg::setRowEnabled(int k, bool on) {
    fieldBox(k)->setEnabled(on);
    operatorBox(k)->setEnabled(on);
    valueBox(k)->setEnabled(on);
    if (QComboBox* c = connectorBox(k)) c->setEnabled(on);
}

void TljcxDlg::chooseField(int k, const QString& caption) {
    fieldBox(k)->setCurrentIndex(fieldBox(k)->findText(caption));
    FieldChange(k);
}

void TljcxDlg::chooseOperator(int k, const QString& op) {
    operatorBox(k)->setCurrentIndex(operatorBox(k)->findText(op));
}

void TljcxDlg::chooseConnector(int k, const QString& connector) {
    connectorBox(k)->setCurrentIndex(connectorBox(k)->findText(connector));
    ConnectorChange(k);
}

void TljcxDlg::FieldChange(int k) {
    const LogicalField* field = chosenField(fieldBox(k));
    const FieldKind kind = field ? field->kind : FieldKind::Text;
    QStringList ops = operatorsFor(kind);
    if (k > 1) ops << QString();
    QComboBox* op = operatorBox(k);
    op->clear();
    op->addItems(ops);
    op->setCurrentIndex(-1);
    valueBox(k)->clear();
    valueBox(k)->setEnabled(kind != FieldKind::Flag && kind != FieldKind::StorageMode);
}

void TljcxDlg::ConnectorChange(int k) {
    QComboBox* connector = connectorBox(k);
    if (!connector) return;
    const QString c = connector->currentText();
    const int next = k + 1;
    if (c == kAnd || c == kOr) {
        setRowEnabled(next, true);
        return;
    }
    // The empty entry resets the next row to its empty entries; the row stays enabled.
    QComboBox* field = fieldBox(next);
    field->setCurrentIndex(field->count() - 1);
    QComboBox* op = operatorBox(next);
    op->setCurrentIndex(op->count() - 1);
    if (QComboBox* nextConnector = connectorBox(next)) {
        nextConnector->setCurrentIndex(nextConnector->count() - 1);
    }
    valueBox(next)->clear();
}

bool TljcxDlg::ValueExit(int k) {
    const LogicalField* field = chosenField(fieldBox(k));
    if (!field) return true;
    QLineEdit* edit = valueBox(k);
    const QString text = edit->text();
    QString message;
    switch (field->kind) {
        case FieldKind::Decimal:
            if (!isDecimalNumber(text)) message = decimalMessage();
            break;
        case FieldKind::Integer:
            if (!isWholeNumber(text)) message = integerMessage();
            break;
        case FieldKind::Date:
            if (const auto d = parseConditionDate(text, Clock::today())) {
                edit->setText(d->toString(QStringLiteral("yyyy-MM-dd")));
            } else {
                message = dateMessage();
            }
            break;
        case FieldKind::Text:
        case FieldKind::Flag:
        case FieldKind::StorageMode:
            break;
    }
    if (message.isEmpty()) return true;
    ui::warn(this, message);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool TljcxDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // A message box or another window coming to the front is not leaving the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            for (int k = 1; k <= kRows; ++k) {
                if (watched == valueBox(k) && valueBox(k)->isEnabled()) {
                    ValueExit(k);
                    break;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TljcxDlg::build() {
    condition_.clear();
    const LogicalField* first = chosenField(fieldBox(1));
    if (!first) return true;
    auto condition = [this](int k) {
        return rowCondition(*chosenField(fieldBox(k)), operatorBox(k)->currentText(),
                            valueBox(k)->text());
    };
    const std::optional<QString> c1 = condition(1);
    if (!c1) return false;
    QString text = QStringLiteral(" and (") + *c1;
    for (int k = 2; k <= kRows; ++k) {
        const QString connector = connectorBox(k - 1)->currentText();
        if (!chosenField(fieldBox(k)) || connector.isEmpty()) break;
        const std::optional<QString> ck = condition(k);
        if (!ck) return false;
        text += (connector == kAnd ? QStringLiteral(" and ") : QStringLiteral(" or ")) + *ck;
    }
    condition_ = text + QLatin1Char(')');
    return true;
}

void TljcxDlg::BitBtn1Click() {
    if (!build()) {
        condition_.clear();
        ui::warn(this, incompleteMessage());
        return;
    }
    accept();
}

}  // namespace fx::query
