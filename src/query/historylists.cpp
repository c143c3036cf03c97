#include "historylists.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "changerecorder.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "modal.h"
#include "querycommands.h"
#include "rowset.h"
#include "theme.h"

namespace fx::query {

namespace {

const QColor kHistoryColour(214, 232, 200);

QStringList accountNames(AppState& app) {
    QStringList names;
    try {
        db::RowSet users(*app.current, QStringLiteral("select * from users"));
        users.open();
        for (; !users.eof(); users.next()) names << users.text(QStringLiteral("user"));
    } catch (const db::DbError&) {
        // The list is a help only; a user can still be typed.
    }
    return names;
}

}  // namespace

void listChangeHistory(QWidget* parent, AppState& app, QueryState& state, int serial) {
    ListRequest request;
    request.kind = ResultKind::ChangeHistory;
    request.queryText = history::assetHistoryStatement(serial);
    request.reportTitle =
        QStringLiteral("第") + QString::number(serial) + QStringLiteral("号固定资产变更记录表");
    request.caption = request.reportTitle;
    request.colour = kHistoryColour;
    showList(parent, app, state, request);
}

void queryChangeHistory(QWidget* parent, AppState& app, QueryState& state) {
    TczjlcxDlg dialog(app, parent);
    if (ui::runModal(dialog) != QDialog::Accepted) return;
    const history::HistoryFilter f = dialog.filter();
    ListRequest request;
    request.kind = ResultKind::ChangeHistory;
    request.queryText = history::historyStatement(f);
    request.reportTitle = QStringLiteral("操作记录表（%1至%2）")
                              .arg(f.from.toString(Qt::ISODate), f.to.toString(Qt::ISODate));
    request.caption = request.reportTitle;
    request.colour = kHistoryColour;
    showList(parent, app, state, request);
}

TczjlcxDlg::TczjlcxDlg(AppState& app, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TczjlcxDlg"));
    setWindowTitle(QStringLiteral("操作记录查询"));
    auto named = [](auto* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    DateFrom = named(new QDateEdit(Clock::today(), this), "DateFrom");
    DateTo = named(new QDateEdit(Clock::today(), this), "DateTo");
    for (QDateEdit* d : {DateFrom, DateTo}) {
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
    }
    UserBox = named(new QComboBox(this), "UserBox");
    UserBox->addItem(QString());
    UserBox->addItems(accountNames(app));
    OperationBox = named(new QComboBox(this), "OperationBox");
    OperationBox->addItem(QString());
    for (const char* op :
         {history::op::kAdd, history::op::kModify, history::op::kScrap, history::op::kDelete,
          history::op::kLend, history::op::kReturn, history::op::kTransfer, history::op::kRepair,
          history::op::kRenameEntry, history::op::kDeleteEntry, history::op::kUsers,
          history::op::kPassword, history::op::kRestore, history::op::kImport})
        OperationBox->addItem(QString::fromUtf8(op));
    NumberEdit = named(new QLineEdit(this), "NumberEdit");
    BitBtn1 = named(new QPushButton(QStringLiteral("确定"), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn2");
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("起始日期"), DateFrom);
    form->addRow(QStringLiteral("截止日期"), DateTo);
    form->addRow(QStringLiteral("操作员"), UserBox);
    form->addRow(QStringLiteral("操作"), OperationBox);
    form->addRow(QStringLiteral("资产编号"), NumberEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    applyDialogTheme(this, app.theme);
}

history::HistoryFilter TczjlcxDlg::filter() const {
    history::HistoryFilter f;
    f.from = DateFrom->date();
    f.to = DateTo->date();
    f.user = UserBox->currentText();
    f.operation = OperationBox->currentText();
    f.assetNumber = NumberEdit->text().trimmed();
    return f;
}

}  // namespace fx::query
