// The label page's labels with codes (formats 5 and 6, place labels) and the choice between A4
// sheets and a label printer.
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "connection.h"
#include "dberror.h"
#include "rowsource.h"
#include "tbbdydlg.h"

namespace fx::reports {

namespace {

QRadioButton* codeRadio(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QRadioButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QComboBox* list(const char* name, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

}  // namespace

void TbbdyDlg::buildCodeLabelControls(QWidget* page, QVBoxLayout* v) {
    RadioButton9 = codeRadio("RadioButton9", QStringLiteral("5. 二维码标签（50×30毫米）"), page);
    RadioButton10 = codeRadio("RadioButton10", QStringLiteral("6. 条形码标签（60×40毫米）"), page);
    RadioButton11 =
        codeRadio("RadioButton11", QStringLiteral("位置标签（二维码，盘点时扫描）："), page);
    ComboBox3 = list("ComboBox3", page);
    ComboBox3->addItem(QStringLiteral("全部位置"));
    ComboBox3->addItems(placeNames());
    ComboBox4 = list("ComboBox4", page);
    ComboBox4->addItems(
        {QStringLiteral("A4纸（每页多个标签）"), QStringLiteral("标签打印机（每页一个标签）")});
    v->addWidget(RadioButton9);
    v->addWidget(RadioButton10);
    auto* placeRow = new QHBoxLayout;
    placeRow->addWidget(RadioButton11);
    placeRow->addWidget(ComboBox3, 1);
    v->addLayout(placeRow);
    auto* mediumRow = new QHBoxLayout;
    mediumRow->addWidget(new QLabel(QStringLiteral("二维码、条形码标签打印在："), page));
    mediumRow->addWidget(ComboBox4, 1);
    v->addLayout(mediumRow);
    for (QRadioButton* b : {RadioButton9, RadioButton10, RadioButton11})
        connect(b, &QRadioButton::toggled, this, [this] { codeLabelChosen(); });
    codeLabelChosen();
}

void TbbdyDlg::codeLabelChosen() {
    ComboBox4->setEnabled(codeLabelKind().has_value());
    ComboBox3->setEnabled(RadioButton11->isChecked());
}

QStringList TbbdyDlg::placeNames() const {
    QStringList names;
    if (!state_.current) return names;
    try {
        const report::MemoryDataSource rows =
            queryRows(*state_.current, QStringLiteral("select wz from wzb order by wz"));
        for (int i = 0; i < rows.count(); ++i) {
            const QString name = rows.value(i, 0).toString();
            if (!name.isEmpty() && !names.contains(name)) names << name;
        }
    } catch (const db::DbError&) {
        // Without the place list only the asset labels can be printed.
    }
    return names;
}

std::optional<CodeLabel> TbbdyDlg::codeLabelKind() const {
    if (RadioButton9->isChecked()) return CodeLabel::QrCode;
    if (RadioButton10->isChecked()) return CodeLabel::Barcode;
    if (RadioButton11->isChecked()) return CodeLabel::Place;
    return std::nullopt;
}

CodeLabelOptions TbbdyDlg::codeLabelOptions() const {
    CodeLabelOptions o;
    o.kind = codeLabelKind().value_or(CodeLabel::QrCode);
    o.labelPrinter = ComboBox4->currentIndex() == 1;
    o.organisation = organisation_;
    o.cardNumber = cardNumber_;
    return o;
}

report::MemoryDataSource TbbdyDlg::chosenPlaces() const {
    if (ComboBox3->currentIndex() > 0) return placeRows({ComboBox3->currentText()});
    QStringList all;
    for (int i = 1; i < ComboBox3->count(); ++i) all << ComboBox3->itemText(i);
    return placeRows(all);
}

}  // namespace fx::reports
