#include "tmmmdlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "changerecorder.h"
#include "dberror.h"
#include "passwordhash.h"
#include "prompt.h"
#include "recordingprompt.h"
#include "rowset.h"
#include "theme.h"
#include "usercommands.h"

namespace fx::users {

Tmmmdlg::Tmmmdlg(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("Tmmmdlg"));
    setWindowTitle(QStringLiteral("修改密码"));

    const auto label = [this](const char* caption, const char* name) {
        auto* l = new QLabel(QString::fromUtf8(caption), this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    const auto masked = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setEchoMode(QLineEdit::Password);
        e->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
        return e;
    };
    Label1 = label("请输入旧密码：", "Label1");
    Edit1 = masked("Edit1");
    Label2 = label("请输入新密码：", "Label2");
    Edit2 = masked("Edit2");
    Label3 = label("再输入新密码：", "Label3");
    Edit3 = masked("Edit3");
    Label1->setBuddy(Edit1);
    Label2->setBuddy(Edit2);
    Label3->setBuddy(Edit3);

    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Edit3, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, ownColour());
    setPalette(pal);
    setAutoFillBackground(true);
    applyDialogTheme(this, state_.theme);
}

Tmmmdlg::~Tmmmdlg() = default;

void Tmmmdlg::BitBtn1Click() {
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    try {
        db::RowSet users(*state_.current, QStringLiteral("select * from users"));
        users.open();
        while (!users.eof() && users.text(QStringLiteral("user")) != state_.userName) users.next();
        if (users.eof()) {
            // The administrator has deleted the account since this user signed in.
            ui::warn(this, QStringLiteral("找不到用户“%1”，密码没有修改。").arg(state_.userName),
                     QStringLiteral("提示"));
            return;
        }
        // A null password reads as an empty text, so an empty entry matches it.
        if (!accounts::passwordMatches(users.text(QStringLiteral("password")), Edit1->text())) {
            ui::inform(this, QStringLiteral("旧密码输入有误，请再试一次。"));
            return;
        }
        if (Edit2->text() != Edit3->text()) {
            ui::inform(this, QStringLiteral("两次输入的新密码不一致，请重新输入。"));
            Edit2->clear();
            Edit3->clear();
            Edit2->setFocus();
            return;
        }
        recorder.begin();
        users.edit();
        users.setValue(QStringLiteral("password"), accounts::hashPassword(Edit2->text()));
        users.post();
    } catch (const db::DbError& e) {
        ui::warn(this, e.message());
        return;
    }
    ui::recordAfterChange(this, recorder, QString::fromUtf8(history::op::kPassword),
                          QStringLiteral("修改密码：") + state_.userName);
    accept();
}

}  // namespace fx::users
