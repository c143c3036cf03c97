#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>

#include "cardlists.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "mainform.h"
#include "prompt.h"
#include "quote.h"
#include "rowset.h"

// Finding a record by serial number or asset number and showing it on the card.

namespace fx {

namespace {

QString cardStatement(int serial) {
    return QStringLiteral("select * from sbjl where ID1=") + QString::number(serial);
}

}  // namespace

void TMainForm::showSerial(int serial) {
    try {
        showSerial(serial, false);
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

void TMainForm::showSerialQuietly(int serial) {
    try {
        showSerial(serial, true);
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

void TMainForm::showSerial(int serial, bool quiet) {
    if (!card_) return;  // not started: no database to show from
    currentSerial_ = serial;
    card_->close();
    card_->setSql(cardStatement(serial));
    card_->open();

    // An empty card is labelled as at start-up: by location.
    storedAtLocation_ = card_->eof() || card_->yesNo(QStringLiteral("worp"));
    Label7->setText(storedAtLocation_ ? QStringLiteral("位  置：") : QStringLiteral("使用者："));
    BitBtn2->setEnabled(card_->yesNo(QStringLiteral("wx")));
    BitBtn2->setText(QStringLiteral("维修记录"));

    if (!card_->eof()) {
        DateTimePicker1->setDate(card_->date(QStringLiteral("gmrq")));
        setNumberText(numbering::formatAssetNumber(card_->text(QStringLiteral("id")),
                                                   card_->integer(QStringLiteral("num"))),
                      false);
        BitBtn1->setText(card_->yesNo(QStringLiteral("yjc")) ? QStringLiteral("已借出")
                                                             : QStringLiteral("未借出"));
        BitBtn1->setEnabled(true);
        BitBtn3->setEnabled(true);
        hasMaintenance_ = card_->yesNo(QStringLiteral("wx"));
        enableRecordCommands(true);
        setCommandEnabled(N5, true);
        GroupBox1->setCaption(
            QStringLiteral("固定资产第%1号").arg(serial),
            card_->yesNo(QStringLiteral("ybf")) ? QStringLiteral("（已报废）") : QString());
        shownSerial_ = serial;
        // The browse state narrows the record commands to the user's rights.
        applyBrowseState();
    } else {
        if (!quiet) {
            ui::inform(this, QStringLiteral("没有此序号的记录"));
            setNumberText(QString(), false);
        }
        hasMaintenance_ = false;
        applyBrowseState();
        DateTimePicker1->setDate(Clock::today());
        GroupBox1->setCaption(QStringLiteral("固定资产"));
        enableRecordCommands(false);
        BitBtn2->setEnabled(false);
        BitBtn3->setEnabled(false);
        setCommandEnabled(N5, false);
        BitBtn1->setText(QStringLiteral("未借出"));
        BitBtn1->setEnabled(false);
    }
    fillCardFromRow();
}

void TMainForm::fillCardFromRow() {
    // The card shows the row set's current row; an empty row set shows an empty card.
    const QScopedValueRollback<bool> program(programChange_, true);
    const db::RowSet& r = *card_;
    const struct {
        QComboBox* list;
        const char* field;
    } lists[] = {{DBComboBox1, "zclb"}, {DBComboBox2, "sbmc"}, {DBComboBox4, "yt"},
                 {DBComboBox5, "sbxh"}, {DBComboBox3, "wz"},   {DBComboBox6, "bxq"},
                 {DBComboBox7, "ly"},   {DBComboBox8, "bgr"}};
    for (const auto& l : lists) setListText(l.list, r.text(QString::fromLatin1(l.field)));
    DBEdit3->setText(r.text(QStringLiteral("sbpz")));
    DBEdit1->setText(r.isNull(QStringLiteral("gmjg"))
                         ? QString()
                         : QString::number(r.number(QStringLiteral("gmjg")), 'f', 2));
    DBMemo1->setPlainText(r.text(QStringLiteral("other")));
}

void TMainForm::showByAssetNumber() {
    if (mode_ != EditMode::Browse) return;
    if (numberListDroppedDown()) {
        prefixShortcut(ComboBox1->currentText());
        return;
    }
    const std::optional<numbering::AssetNumber> n = parseAssetNumberBox();
    if (!n) return;
    try {
        db::RowSet rows(*state_.current, QStringLiteral("select ID1 from sbjl where id='") +
                                             db::escaped(n->prefix) + QStringLiteral("' and num=") +
                                             QString::number(n->number));
        rows.open();
        if (rows.eof()) {
            SpinEdit1->setValue(0);
            ui::inform(this, QStringLiteral("不存在该编号的固定资产记录!"));
        } else {
            SpinEdit1->setValue(rows.integer(QStringLiteral("ID1")));
        }
        showSerial(SpinEdit1->value(), true);
    } catch (const db::DbError& e) {
        showDbError(e.message());
        return;
    }
    const QString text = ComboBox1->currentText();
    const int dash = int(text.indexOf(QLatin1Char('-')));
    if (dash >= 0) ComboBox1->lineEdit()->setSelection(dash + 1, int(text.size()) - dash - 1);
}

void TMainForm::showDbError(const QString& message) {
    ui::stop(this, message);
}

}  // namespace fx
