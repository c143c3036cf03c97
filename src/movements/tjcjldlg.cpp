#include "tjcjldlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "displayonly.h"
#include "prompt.h"
#include "rowset.h"

namespace fx::movements {

namespace {

template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

QComboBox* editableList(const char* name) {
    auto* c = named(new QComboBox, name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

}  // namespace

Tjcjldlg::Tjcjldlg(AppState& app, int serial, QWidget* parent)
    : QDialog(parent), app_(app), serial_(serial) {
    setWindowTitle(QStringLiteral("借出记录"));
    buildControls();
    fillLists();
    existing_ = openLoan(*app_.current, serial_);
    showLoan();
}

void Tjcjldlg::buildControls() {
    GroupBox1 = named(new QGroupBox(QStringLiteral("固定资产第%1号").arg(serial_)), "GroupBox1");
    DBComboBox1 = editableList("DBComboBox1");
    DBComboBox2 = editableList("DBComboBox2");
    DBEdit2 = named(new QLineEdit, "DBEdit2");
    DBEdit2->setReadOnly(true);
    DBEdit2->setMaxLength(20);
    DBComboBox3 = editableList("DBComboBox3");
    DateTimePicker1 = named(new QDateEdit, "DateTimePicker1");
    DateTimePicker1->setReadOnly(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    // The planned date may stay empty: the day before today stands for "no date" and shows
    // blank, so that every date the picker offers otherwise is today or later.
    DateTimePicker2 = named(new QDateEdit, "DateTimePicker2");
    DateTimePicker2->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DateTimePicker2->setCalendarPopup(true);
    DateTimePicker2->setSpecialValueText(QStringLiteral(" "));
    DBEdit4 = named(new QLineEdit, "DBEdit4");
    DBEdit4->setMaxLength(100);

    auto* form = new QFormLayout(GroupBox1);
    form->addRow(QStringLiteral("出借人："), DBComboBox1);
    form->addRow(QStringLiteral("借用人："), DBComboBox2);
    form->addRow(QStringLiteral("批复人："), DBEdit2);
    form->addRow(QStringLiteral("借用地点："), DBComboBox3);
    form->addRow(QStringLiteral("借用日期："), DateTimePicker1);
    form->addRow(QStringLiteral("拟还日期："), DateTimePicker2);
    form->addRow(QStringLiteral("备  注："), DBEdit4);

    CheckBox1 = named(new QCheckBox(QStringLiteral("打印借条")), "CheckBox1");
    CheckBox2 = named(new QCheckBox(QStringLiteral("先预览后打印")), "CheckBox2");
    CheckBox2->setVisible(false);
    BitBtn1 = named(new QPushButton(QStringLiteral("出借")), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("退出")), "BitBtn2");
    BitBtn1->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);

    auto* checks = new QHBoxLayout;
    checks->addWidget(CheckBox1);
    checks->addWidget(CheckBox2);
    checks->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* main = new QVBoxLayout(this);
    main->addWidget(GroupBox1);
    main->addLayout(checks);
    main->addLayout(buttons);

    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* w : std::initializer_list<QWidget*>{
             DBComboBox1, DBComboBox2, DBComboBox3, DateTimePicker2, DBEdit4, CheckBox1, CheckBox2})
        w->installEventFilter(this);
    // The approver and the lending date are never typed: they look like the shown values.
    ui::setDisplayOnly(DBEdit2, true);
    ui::setDisplayOnly(DateTimePicker1, true);
}

void Tjcjldlg::fillLists() {
    db::RowSet persons(*app_.current, QStringLiteral("select * from person"));
    persons.open();
    for (persons.first(); !persons.eof(); persons.next())
        DBComboBox1->addItem(persons.text(QStringLiteral("pname")));
    DBComboBox2->addItems(recentBorrowers(*app_.current));
    DBComboBox3->addItems(recentPlaces(*app_.current));
    for (QComboBox* c : {DBComboBox1, DBComboBox2, DBComboBox3}) c->setCurrentIndex(-1);

    const QDate today = Clock::today();
    DateTimePicker1->setDate(today);
    DateTimePicker2->setMinimumDate(today.addDays(-1));
    DateTimePicker2->setDate(today.addDays(-1));
}

void Tjcjldlg::showLoan() {
    if (lending()) {
        DBEdit2->setText(app_.userName);
        BitBtn1->setText(QStringLiteral("出借"));
        CheckBox1->setVisible(true);
        BitBtn1->setEnabled(app_.rights.jc);
        return;
    }
    const Loan& loan = *existing_;
    DBComboBox1->setEditText(loan.lender);
    DBComboBox2->setEditText(loan.borrower);
    DBEdit2->setText(loan.approver);
    DBComboBox3->setEditText(loan.place);
    DateTimePicker1->setDate(loan.lent);
    // A planned date of the past is shown as it was entered.
    if (loan.plannedReturn.isValid()) {
        DateTimePicker2->setMinimumDate(std::min(loan.plannedReturn, Clock::today()).addDays(-1));
        DateTimePicker2->setDate(loan.plannedReturn);
    }
    DBEdit4->setText(loan.note);
    // What the loan says is shown, not changed: one read-only look for all of it.
    for (QWidget* w :
         std::initializer_list<QWidget*>{DBComboBox1, DBComboBox2, DBComboBox3, DateTimePicker2})
        ui::setDisplayOnly(w, true);
    DateTimePicker2->setReadOnly(true);
    BitBtn1->setText(QStringLiteral("归还"));
    CheckBox1->setVisible(false);
    CheckBox1->setChecked(false);
    BitBtn1->setEnabled(app_.rights.gh);
}

QDate Tjcjldlg::plannedReturn() const {
    const QDate d = DateTimePicker2->date();
    return d == DateTimePicker2->minimumDate() ? QDate() : d;
}

void Tjcjldlg::setPlannedReturn(const QDate& date) {
    DateTimePicker2->setDate(date.isValid() ? date : DateTimePicker2->minimumDate());
}

Loan Tjcjldlg::enteredLoan() const {
    Loan loan;
    loan.id = serial_;
    loan.lender = DBComboBox1->currentText();
    loan.borrower = DBComboBox2->currentText();
    loan.approver = DBEdit2->text();
    loan.place = DBComboBox3->currentText();
    loan.lent = DateTimePicker1->date();
    loan.plannedReturn = plannedReturn();
    loan.note = DBEdit4->text();
    return loan;
}

bool Tjcjldlg::printSlip() const {
    return lending() && CheckBox1->isChecked();
}

bool Tjcjldlg::previewFirst() const {
    return CheckBox2->isChecked();
}

bool Tjcjldlg::BitBtn1Click() {
    if (!BitBtn1->isEnabled()) return false;
    try {
        if (lending()) {
            lend(*app_.current, app_.history.get(), enteredLoan(), app_.userName);
        } else {
            if (app_.settings.returner == 0 && existing_->approver != app_.userName) {
                ui::inform(this, QStringLiteral("只有该借出物的批复人才有权归还它。"));
                return false;
            }
            // The remark is the one field of a return the user may write: the history row
            // keeps what the field holds now.
            Loan returned = *existing_;
            returned.note = DBEdit4->text();
            giveBack(*app_.current, app_.history.get(), returned, app_.userName, Clock::today());
        }
    } catch (const LoanNotRecorded& e) {
        // Done all the same: the dialog closes so that the card and the slip follow.
        ui::warn(this, e.message());
    } catch (const LoanRefused& e) {
        ui::warn(this, e.message());
        return false;
    } catch (const db::DbError& e) {
        ui::warn(this, e.message());
        return false;
    }
    accept();
    return true;
}

void Tjcjldlg::CheckBox1Click() {
    CheckBox2->setVisible(CheckBox1->isChecked());
}

bool Tjcjldlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);
    if (auto* box = qobject_cast<QCheckBox*>(watched)) {
        box->toggle();
        return true;
    }
    // Enter moves on in the order the loan is filled in.
    const std::pair<QObject*, QWidget*> moves[] = {{DBComboBox1, DBComboBox2},
                                                   {DBComboBox2, DBComboBox3},
                                                   {DBComboBox3, DateTimePicker2},
                                                   {DateTimePicker2, DBEdit4},
                                                   {DBEdit4, CheckBox1}};
    for (const auto& [from, to] : moves) {
        if (from == watched) {
            to->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace fx::movements
