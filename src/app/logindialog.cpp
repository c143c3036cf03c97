#include "logindialog.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "connection.h"
#include "datalocation.h"
#include "dberror.h"
#include "locationdialog.h"
#include "modal.h"
#include "passwordhash.h"
#include "pgpass.h"
#include "prompt.h"
#include "rowset.h"
#include "schema.h"
#include "serverpassworddialog.h"

namespace fx {

namespace {

// Counted for the whole process: switching databases does not buy more attempts.
int gFailedAttempts = 0;

}  // namespace

TLoginDlg::TLoginDlg(AppState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), state_(state) {
    setObjectName(QStringLiteral("TLoginDlg"));
    setWindowTitle(QStringLiteral("欢迎使用青石岭通用固定资产管理系统！"));

    GroupBox1 = new QGroupBox(QStringLiteral("用户登录"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label1 = new QLabel(QStringLiteral("用户名"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->setMinimumWidth(180);
    Label1->setBuddy(ComboBox1);
    Label2 = new QLabel(QStringLiteral("密码"), GroupBox1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    // Show "*" for every character whatever the style's own password character is.
    Edit1->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Label2->setBuddy(Edit1);

    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit1, 1, 1);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
    SpeedButton1->setIconSize(QSize(32, 32));
    SpeedButton1->setToolTip(QStringLiteral("点击这里选择网络驱动器"));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);

    BitBtn1 = new QPushButton(QStringLiteral("登录"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("离开"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SpeedButton1);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(340, 180)));

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

    canGoOn_ = FormCreate();
}

TLoginDlg::~TLoginDlg() {
    closeDatabase();
}

bool TLoginDlg::signIn(AppState& state, QWidget* parent) {
    // A database that does not open has been named; the dialog is shown all the same, with an
    // empty list, so that the user can choose another location (a network drive no longer
    // mapped) or leave.
    TLoginDlg dialog(state, parent);
    return ui::runModal(dialog) == QDialog::Accepted;
}

QString TLoginDlg::startDir() const {
    return state_.startDir.isEmpty() ? QDir::currentPath() : state_.startDir;
}

void TLoginDlg::closeDatabase() {
    users_.reset();
    conn_.reset();
}

bool TLoginDlg::openServer(const DataLocation& chosen) {
    ServerLocation server;
    server.conninfo = serverConninfo(chosen);
    server.currentSchema = chosen.prefix + QString::fromLatin1(schema::kServerCurrentSchema);
    server.historySchema = chosen.prefix + QString::fromLatin1(schema::kServerHistorySchema);
    // A password given in this run for the same server is used again.
    if (state_.server && state_.server->conninfo == server.conninfo)
        server.password = state_.server->password;
    bool remember = rememberServerPassword_;
    if (!typedServerPassword_.isEmpty()) server.password = typedServerPassword_;
    typedServerPassword_.clear();
    rememberServerPassword_ = false;
    state_.server.reset();

    for (;;) {
        try {
            conn_ = openServerCurrent(server);
            break;
        } catch (const db::DbError& e) {
            // Without a password (or with a remembered one that no longer fits) the server is
            // asked again with the one the user gives now.
            if (!e.isLoginRefused() || !server.password.isEmpty()) throw;
            TServerPasswordDlg ask(
                QStringLiteral("%1@%2:%3/%4")
                    .arg(chosen.user, chosen.host, QString::number(chosen.port), chosen.dbname),
                this);
            if (ui::runModal(ask) != QDialog::Accepted || ask.password().isEmpty()) return false;
            server.password = ask.password();
            remember = ask.remember();
        }
    }
    state_.server = server;
    if (remember) {
        const QString problem = db::rememberPassword(chosen.host, chosen.port, chosen.dbname,
                                                     chosen.user, server.password);
        if (!problem.isEmpty()) ui::warn(this, problem);
    }
    return true;
}

bool TLoginDlg::openDatabase(const DataLocation& chosen, QString* where) {
    state_.dataDir = determineDataDir(startDir(), state_.appPath);
    if (chosen.server) {
        *where = QStringLiteral("%1:%2/%3")
                     .arg(chosen.host, QString::number(chosen.port), chosen.dbname);
        return openServer(chosen);
    }
    // The files: a server chosen before in this run is left.
    state_.server.reset();
    *where = QDir::toNativeSeparators(state_.currentDatabasePath());
    conn_ = state_.openKeyed(state_.currentDatabasePath(), schema::DatabaseKind::Current);
    return true;
}

bool TLoginDlg::FormCreate() {
    const DataLocation chosen = readDataLocation(startDir());
    QString where;
    try {
        if (!openDatabase(chosen, &where)) {
            closeDatabase();
            ComboBox1->clear();
            return false;
        }
        users_ = std::make_unique<db::RowSet>(*conn_, QStringLiteral("select * from users"));
        users_->open();
        for (users_->first(); !users_->eof(); users_->next()) {
            ComboBox1->addItem(users_->text(QStringLiteral("user")));
        }
        ComboBox1->setCurrentIndex(-1);
        return true;
    } catch (const db::DbError& e) {
        closeDatabase();
        ComboBox1->clear();
        if (chosen.server) {
            state_.server.reset();
            ui::warn(
                this,
                QStringLiteral("无法打开数据库服务器 %1 上的数据：\n%2").arg(where, e.message()));
        } else {
            ui::warn(this, QStringLiteral("无法打开数据库文件 %1：\n%2").arg(where, e.message()));
        }
        return false;
    }
}

void TLoginDlg::replaceClearPassword(const QString& password) {
    // A password an older version kept in clear is replaced by its hash now that it is known to
    // be right. Should the write fail (another workstation writing, a read-only medium), the
    // user still signs in and the next successful sign-in tries again.
    try {
        users_->edit();
        users_->setValue(QStringLiteral("password"), accounts::hashPassword(password));
        users_->post();
    } catch (const db::DbError&) {
        users_->cancel();
    } catch (const std::runtime_error&) {
        users_->cancel();
    }
}

void TLoginDlg::BitBtn1Click() {
    const QString name = ComboBox1->currentIndex() < 0 ? QString() : ComboBox1->currentText();
    if (name.isEmpty() || !users_) {
        ui::inform(this, QStringLiteral("请选择用户名"));
        return;
    }

    users_->first();
    while (!users_->eof() && users_->text(QStringLiteral("user")) != name) users_->next();
    // A user deleted meanwhile by another workstation cannot sign in: treat it as a mismatch.
    const bool found = !users_->eof();
    const QString stored = found ? users_->text(QStringLiteral("password")) : QString();

    if (found && accounts::passwordMatches(stored, Edit1->text())) {
        if (accounts::needsHashing(stored)) replaceClearPassword(Edit1->text());
        state_.userName = name;
        state_.rights.view = users_->yesNo(QStringLiteral("view"));
        state_.rights.modi = users_->yesNo(QStringLiteral("modi"));
        state_.rights.ins = users_->yesNo(QStringLiteral("ins"));
        state_.rights.del = users_->yesNo(QStringLiteral("del"));
        state_.rights.jc = users_->yesNo(QStringLiteral("jc"));
        state_.rights.gh = users_->yesNo(QStringLiteral("gh"));
        state_.rights.db = users_->yesNo(QStringLiteral("db"));
        state_.rights.spmodi = users_->yesNo(QStringLiteral("spmodi"));
        if (stored.isEmpty()) {
            ui::inform(this, QStringLiteral("现在您的密码为空,系统建议您进入后立即更改之。"));
        }
        done(Accepted);
        return;
    }

    if (gFailedAttempts >= kAllowedFailures) {
        ui::stop(this, QStringLiteral("找系统管理员去吧，不能让你再试了！"));
        done(Exit);
        return;
    }
    ui::inform(this, QStringLiteral("密码输入有误，请再试一次。"));
    ++gFailedAttempts;
    Edit1->setFocus();
    Edit1->selectAll();
}

void TLoginDlg::BitBtn2Click() {
    done(Exit);
}

void TLoginDlg::reject() {
    BitBtn2Click();
}

void TLoginDlg::SpeedButton1Click() {
    TLocationDlg location(startDir(), this);
    if (ui::runModal(location) != QDialog::Accepted) return;
    typedServerPassword_ = location.serverPassword();
    rememberServerPassword_ = location.rememberPassword();
    closeDatabase();
    ComboBox1->clear();
    Edit1->clear();
    // After a change of location a database that does not open leaves the list empty; the user
    // may choose the location again or leave.
    FormCreate();
}

int TLoginDlg::failedAttempts() {
    return gFailedAttempts;
}

void TLoginDlg::resetFailedAttempts() {
    gFailedAttempts = 0;
}

void TLoginDlg::showEvent(QShowEvent* event) {
    if (!parentWidget()) {
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
}

}  // namespace fx
