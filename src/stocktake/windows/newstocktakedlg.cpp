#include "newstocktakedlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "prompt.h"
#include "rowset.h"

namespace fx::stocktake {

namespace {

QStringList column(db::Connection& c, const QString& sql, const QString& field) {
    db::RowSet r(c, sql);
    r.open();
    QStringList out;
    for (; !r.eof(); r.next()) out << r.text(field);
    return out;
}

}  // namespace

NewStocktakeDlg::NewStocktakeDlg(AppState& app, std::vector<int> queryRows, QWidget* parent)
    : QDialog(parent), app_(app), queryRows_(std::move(queryRows)) {
    setObjectName(QStringLiteral("NewStocktakeDlg"));
    setWindowTitle(QStringLiteral("新建盘点"));
    NameEdit = new QLineEdit(defaultName(Clock::today()), this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameEdit->setMaxLength(50);
    ScopeBox = new QComboBox(this);
    ScopeBox->setObjectName(QStringLiteral("ScopeBox"));
    ScopeBox->addItems({QStringLiteral("全部资产"), QStringLiteral("部门"), QStringLiteral("位置"),
                        QStringLiteral("类别"),
                        QStringLiteral("上次查询结果（%1行）").arg(queryRows_.size())});
    ValueBox = new QComboBox(this);
    ValueBox->setObjectName(QStringLiteral("ValueBox"));
    OkButton = new QPushButton(QStringLiteral("确定"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("取消"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("盘点名称："), NameEdit);
    form->addRow(QStringLiteral("盘点范围："), ScopeBox);
    form->addRow(QString(), ValueBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("已报废的资产不列入盘点。"), this));
    layout->addLayout(buttons);

    connect(ScopeBox, &QComboBox::currentIndexChanged, this, [this] { ScopeBoxChange(); });
    connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ScopeBoxChange();
}

void NewStocktakeDlg::ScopeBoxChange() {
    ValueBox->clear();
    db::Connection& c = *app_.current;
    QStringList values;
    try {
        switch (ScopeBox->currentIndex()) {
            case 1:
                values = column(c, QStringLiteral("select wz from wzb where isbm order by wz"),
                                QStringLiteral("wz"));
                break;
            case 2:
                values = column(c, QStringLiteral("select wz from wzb order by wz"),
                                QStringLiteral("wz"));
                break;
            case 3:
                values = column(c, QStringLiteral("select sort from sortproc order by sort"),
                                QStringLiteral("sort"));
                break;
            default:
                break;
        }
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
    }
    ValueBox->addItems(values);
    ValueBox->setEnabled(!values.isEmpty());
}

void NewStocktakeDlg::OkButtonClick() {
    Scope scope;
    const int kind = ScopeBox->currentIndex();
    scope.kind = kind == 1   ? ScopeKind::Department
                 : kind == 2 ? ScopeKind::Place
                 : kind == 3 ? ScopeKind::Category
                 : kind == 4 ? ScopeKind::Serials
                             : ScopeKind::Whole;
    if (kind >= 1 && kind <= 3) {
        if (ValueBox->currentText().isEmpty()) {
            ui::warn(this, QStringLiteral("请选择盘点的%1。").arg(ScopeBox->currentText()));
            return;
        }
        scope.value = ValueBox->currentText();
    }
    scope.serials = queryRows_;
    try {
        created_ = stocktake::create(*app_.current, NameEdit->text(), scope, app_.userName,
                                     Clock::today());
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
        return;
    }
    accept();
}

}  // namespace fx::stocktake
