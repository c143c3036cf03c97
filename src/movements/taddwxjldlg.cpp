#include "taddwxjldlg.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "changerecorder.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "maintenancetexts.h"
#include "prompt.h"
#include "recordingprompt.h"
#include "rowset.h"

namespace fx::movements {

namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

TaddwxjlDlg::TaddwxjlDlg(AppState& app, int serial, QWidget* parent)
    : QDialog(parent), app_(app), serial_(serial) {
    setObjectName(QStringLiteral("TaddwxjlDlg"));
    setWindowTitle(QStringLiteral("增加维修记录"));
    buildControls();
    applyMaintenanceColour(this, app.theme);

    // No existing record is needed to add one: the row set only carries the new row.
    rows_ = std::make_unique<db::RowSet>(*app.current,
                                         QStringLiteral("select * from wxjlb where id=-1"));
    rows_->open();
    rows_->append();
    rows_->setValue(QStringLiteral("id"), serial);
}

TaddwxjlDlg::~TaddwxjlDlg() = default;

void TaddwxjlDlg::buildControls() {
    const QDate today = Clock::today();
    auto date = [this, &today](const char* name) {
        auto* d = named(new QDateEdit(today, this), name);
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setMinimumDate(QDate(1900, 1, 1));
        return d;
    };
    // The edits are as long as their columns allow.
    auto edit = [this](const char* name, int maxLength) {
        auto* e = named(new QLineEdit(this), name);
        e->setMaxLength(maxLength);
        return e;
    };
    DateTimePicker1 = date("DateTimePicker1");
    DateTimePicker2 = date("DateTimePicker2");
    DBEdit1 = edit("DBEdit1", 50);
    DBEdit6 = edit("DBEdit6", 50);
    DBEdit2 = edit("DBEdit2", 100);
    DBEdit3 = edit("DBEdit3", 100);
    DBEdit4 = edit("DBEdit4", 20);
    DBEdit5 = edit("DBEdit5", 100);
    BitBtn1 = named(new QPushButton(QStringLiteral("保存"), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn2");

    auto* grid = new QGridLayout;
    const struct {
        const char* caption;
        QWidget* field;
        int row, column;
    } rows[] = {{"送修日期：", DateTimePicker1, 0, 0}, {"维修日期：", DateTimePicker2, 0, 2},
                {"送修地点：", DBEdit1, 1, 0},         {"送修人员：", DBEdit6, 1, 2},
                {"更换配件：", DBEdit2, 2, 0},         {"故障原因：", DBEdit3, 2, 2},
                {"维修费用：", DBEdit4, 3, 0},         {"维修状况：", DBEdit5, 3, 2}};
    for (const auto& r : rows) {
        auto* label = new QLabel(QString::fromUtf8(r.caption), this);
        label->setBuddy(r.field);
        grid->addWidget(label, r.row, r.column);
        grid->addWidget(r.field, r.row, r.column + 1);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(buttons);

    const QList<QWidget*> order = enterOrder();
    for (int i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
    setTabOrder(BitBtn1, BitBtn2);
    for (QWidget* w : order) {
        if (w != BitBtn1) w->installEventFilter(this);
    }
    BitBtn1->setAutoDefault(true);
    BitBtn2->setAutoDefault(false);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

QList<QWidget*> TaddwxjlDlg::enterOrder() const {
    return {DateTimePicker1, DBEdit1, DBEdit6, DBEdit2, DateTimePicker2,
            DBEdit3,         DBEdit4, DBEdit5, BitBtn1};
}

bool TaddwxjlDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QList<QWidget*> order = enterOrder();
            const qsizetype i = order.indexOf(static_cast<QWidget*>(watched));
            if (i >= 0 && i + 1 < order.size()) {
                order[i + 1]->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TaddwxjlDlg::BitBtn1Click() {
    // The cost is money: empty counts as nothing spent, anything else must be a number.
    const QString feeText = DBEdit4->text().trimmed();
    bool feeOk = true;
    const double fee = feeText.isEmpty() ? 0.0 : feeText.toDouble(&feeOk);
    if (!feeOk) {
        ui::warn(this, QStringLiteral("维修费用输入值非法,请重新输入!"), QStringLiteral("警告"));
        DBEdit4->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The record and its change history row, the register first as the transfers do.
    history::ChangeRecorder recorder(app_.history.get(), app_.userName);
    try {
        recorder.begin();
        db::Transaction t(*app_.current);
        rows_->setValue(QStringLiteral("sxrq"), DateTimePicker1->date());
        rows_->setValue(QStringLiteral("wxrq"), DateTimePicker2->date());
        rows_->setValue(QStringLiteral("sxdd"), DBEdit1->text());
        rows_->setValue(QStringLiteral("sxr"), DBEdit6->text());
        rows_->setValue(QStringLiteral("ghpj"), DBEdit2->text());
        rows_->setValue(QStringLiteral("gzyy"), DBEdit3->text());
        rows_->setValue(QStringLiteral("wxfy"), fee);
        rows_->setValue(QStringLiteral("wxzk"), DBEdit5->text());
        rows_->post();
        recorder.recordNote(QString::fromUtf8(history::op::kRepair), serial_,
                            history::assetNumberOf(*app_.current, serial_),
                            QStringLiteral("送修日期：%1；送修地点：%2；故障原因：%3；维修费用：%4")
                                .arg(DateTimePicker1->date().toString(Qt::ISODate), DBEdit1->text(),
                                     DBEdit3->text(), history::valueText(fee)));
        t.commit();
    } catch (const db::DbError& e) {
        recorder.rollback();
        ui::stop(this, e.message());
        return;
    }
    ui::finishRecording(this, recorder);
    accept();
}

}  // namespace fx::movements
