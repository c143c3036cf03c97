#include "tyhgldlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

#include "appstate.h"
#include "changerecorder.h"
#include "dberror.h"
#include "displayonly.h"
#include "prompt.h"
#include "quote.h"
#include "recordingprompt.h"
#include "rowset.h"
#include "schema.h"
#include "theme.h"
#include "usercommands.h"

namespace fx::users {

namespace {

// The rights of the current account: shown legibly while browsing, ticked only while adding or
// modifying.
void openRights(QGroupBox* rights, bool open) {
    for (QCheckBox* box : rights->findChildren<QCheckBox*>()) ui::setDisplayOnly(box, !open);
}

// The rights in the order of their check boxes.
const char* const kRightFields[] = {"ins", "modi", "del", "view", "jc", "gh", "db", "spmodi"};
const char* const kRightCaptions[] = {"增加权",     "修改权",     "报废权", "数据字典维护权",
                                      "借出批复权", "归还审核权", "调拨权", "超级修改权"};

QString hint() {
    return QStringLiteral("提示");
}

}  // namespace

TyhglDlg::TyhglDlg(AppState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), state_(state) {
    setObjectName(QStringLiteral("TyhglDlg"));
    setWindowTitle(QStringLiteral("用户管理"));

    DBGrid1 = new QTableWidget(0, 1, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setHorizontalHeaderLabels({QStringLiteral("用户名")});  // the column `user`
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->verticalHeader()->setDefaultSectionSize(22);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setMinimumWidth(160);

    Label1 = new QLabel(QStringLiteral("用户名："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    // Names reach statement texts elsewhere (operator names, settings sections): no apostrophe.
    DBEdit1->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^']*")), DBEdit1));
    Label1->setBuddy(DBEdit1);

    GroupBox1 = new QGroupBox(QStringLiteral("用户权限"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* rights = new QGridLayout(GroupBox1);
    QCheckBox** boxes[] = {&DBCheckBox1, &DBCheckBox2, &DBCheckBox3, &DBCheckBox4,
                           &DBCheckBox5, &DBCheckBox6, &DBCheckBox7, &DBCheckBox8};
    for (int i = 0; i < 8; ++i) {
        *boxes[i] = new QCheckBox(QString::fromUtf8(kRightCaptions[i]), GroupBox1);
        (*boxes[i])->setObjectName(QStringLiteral("DBCheckBox%1").arg(i + 1));
        rights->addWidget(*boxes[i], i / 2, i % 2);
    }
    connect(DBCheckBox8, &QCheckBox::clicked, this, [this] { DBCheckBox8Click(); });

    const auto button = [this](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    BitBtn1 = button("增加", "BitBtn1");
    BitBtn2 = button("修改", "BitBtn2");
    BitBtn3 = button("删除", "BitBtn3");
    BitBtn4 = button("清除密码", "BitBtn4");
    BitBtn5 = button("保存", "BitBtn5");
    BitBtn6 = button("放弃", "BitBtn6");
    BitBtn7 = button("退出", "BitBtn7");
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { BitBtn6Click(); });
    connect(BitBtn7, &QPushButton::clicked, this, [this] { BitBtn7Click(); });

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(Label1);
    nameRow->addWidget(DBEdit1, 1);
    auto* right = new QVBoxLayout;
    right->addLayout(nameRow);
    right->addWidget(GroupBox1);
    auto* top = new QHBoxLayout;
    top->addWidget(DBGrid1);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5, BitBtn6, BitBtn7})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, ownColour());
    setPalette(pal);
    setAutoFillBackground(true);
    applyDialogTheme(this, state_.theme);

    users_ = std::make_unique<db::RowSet>(*state_.current, QStringLiteral("select * from users"));
    users_->open();
    connect(DBGrid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { selectRow(row); });
    fillGrid();
    returnToBrowsing();
}

TyhglDlg::~TyhglDlg() = default;

QList<QCheckBox*> TyhglDlg::rightBoxes() const {
    return {DBCheckBox1, DBCheckBox2, DBCheckBox3, DBCheckBox4,
            DBCheckBox5, DBCheckBox6, DBCheckBox7, DBCheckBox8};
}

void TyhglDlg::fillGrid() {
    const int current = users_->eof() ? 0 : users_->position();
    const QSignalBlocker block(DBGrid1);
    DBGrid1->setRowCount(users_->count());
    for (int i = 0; i < users_->count(); ++i) {
        users_->seek(i);
        DBGrid1->setItem(i, 0, new QTableWidgetItem(users_->text(QStringLiteral("user"))));
    }
    if (users_->count() > 0) {
        users_->seek(qMin(current, users_->count() - 1));
        DBGrid1->setCurrentCell(users_->position(), 0);
    }
    showCurrent();
}

void TyhglDlg::selectRow(int row) {
    if (mode_ != Mode::Browsing || row < 0 || row >= users_->count()) return;
    users_->seek(row);
    showCurrent();
}

void TyhglDlg::showCurrent() {
    const bool pending =
        users_->state() == db::RowSet::State::Edit || users_->state() == db::RowSet::State::Insert;
    const bool hasRow = pending || !users_->eof();
    DBEdit1->setText(hasRow ? users_->text(QStringLiteral("user")) : QString());
    const QList<QCheckBox*> boxes = rightBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        boxes[i]->setChecked(hasRow && users_->yesNo(QLatin1String(kRightFields[i])));
}

void TyhglDlg::setEditing(bool editing) {
    DBGrid1->setEnabled(!editing);
    BitBtn1->setEnabled(!editing);
    BitBtn2->setEnabled(!editing);
    BitBtn3->setEnabled(!editing);
    BitBtn7->setEnabled(!editing);
    BitBtn5->setEnabled(editing);
    BitBtn6->setEnabled(editing);
}

bool TyhglDlg::currentIsAdministrator() const {
    return !users_->eof() &&
           users_->text(QStringLiteral("user")) == QString::fromUtf8(schema::kAdministrator);
}

void TyhglDlg::BitBtn1Click() {
    try {
        users_->append();
        for (const char* field : {"view", "modi", "ins", "del", "jc", "gh", "db"})
            users_->setValue(QLatin1String(field), false);
    } catch (const db::DbError& e) {
        // The accounts could not be read again after an earlier failure: nothing to add to.
        ui::warn(this, e.message());
        return;
    }
    mode_ = Mode::Adding;
    showCurrent();
    DBEdit1->setReadOnly(false);
    openRights(GroupBox1, true);
    setEditing(true);
    DBEdit1->setFocus();
}

void TyhglDlg::BitBtn2Click() {
    if (users_->eof()) return;
    if (currentIsAdministrator()) {
        ui::prompt(this,
                   {hint(), QStringLiteral("该用户为系统保留用户，不能改名，具有最高的权限。"),
                    ui::Icon::Warning});
        return;
    }
    originalName_ = users_->text(QStringLiteral("user"));
    try {
        users_->edit();
    } catch (const db::DbError& e) {
        ui::warn(this, e.message());
        return;
    }
    mode_ = Mode::Modifying;
    DBEdit1->setReadOnly(false);
    openRights(GroupBox1, true);
    setEditing(true);
}

void TyhglDlg::BitBtn3Click() {
    if (users_->eof()) return;
    if (currentIsAdministrator()) {
        ui::prompt(this,
                   {hint(), QStringLiteral("该用户为系统保留用户，不能删除。"), ui::Icon::Warning});
        return;
    }
    mode_ = Mode::Deleting;
    setEditing(true);
}

void TyhglDlg::BitBtn4Click() {
    const bool pending =
        users_->state() == db::RowSet::State::Edit || users_->state() == db::RowSet::State::Insert;
    if (!pending && users_->eof()) return;
    if (!ui::confirm(this, QStringLiteral("确实要清除该用户的密码吗?"), hint())) return;
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    try {
        if (pending) {
            // An account being added or modified: the cleared password is written with it.
            users_->setValue(QStringLiteral("password"), QVariant());
            return;
        }
        recorder.begin();
        users_->edit();
        users_->setValue(QStringLiteral("password"), QVariant());
        users_->post();
    } catch (const db::DbError& e) {
        if (users_->state() == db::RowSet::State::Edit) users_->cancel();
        ui::warn(this, e.message());
        return;
    }
    ui::recordAfterChange(this, recorder, QString::fromUtf8(history::op::kUsers),
                          QStringLiteral("清除密码：") + users_->text(QStringLiteral("user")));
}

void TyhglDlg::DBCheckBox8Click() {
    if (DBCheckBox8->isChecked()) DBCheckBox2->setChecked(true);
}

void TyhglDlg::BitBtn5Click() {
    const QString name = DBEdit1->text();
    if (name.isEmpty()) {
        ui::prompt(this, {hint(), QStringLiteral("用户名不能为空!"), ui::Icon::Warning});
        return;
    }
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    QString note;
    try {
        recorder.begin();
        if (mode_ == Mode::Deleting) {
            db::Transaction transaction(*state_.current);
            users_->remove();
            transaction.commit();
            note = QStringLiteral("删除用户：") + name;
        } else if (mode_ == Mode::Adding || mode_ == Mode::Modifying) {
            if (!saveRow(name)) {
                ui::inform(this, QStringLiteral("此用户名已存在,请换一个用户名。"), hint());
                return;
            }
            note = mode_ == Mode::Adding   ? QStringLiteral("新增用户：") + name
                   : name == originalName_ ? QStringLiteral("修改用户：") + name
                                           : QStringLiteral("修改用户：") + originalName_ +
                                                 QStringLiteral(" → ") + name;
        }
    } catch (const db::DbError& e) {
        ui::warn(this, e.message());
        return;
    }
    if (!note.isEmpty())
        ui::recordAfterChange(this, recorder, QString::fromUtf8(history::op::kUsers), note);
    returnToBrowsing();
    fillGrid();
}

bool TyhglDlg::saveRow(const QString& name) {
    users_->setValue(QStringLiteral("user"), name);
    const QList<QCheckBox*> boxes = rightBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        users_->setValue(QLatin1String(kRightFields[i]), boxes[i]->isChecked());
    // The super-modify right always goes with the modify right.
    if (DBCheckBox8->isChecked()) users_->setValue(QStringLiteral("modi"), true);

    // Names are unique: the login finds an account by its name. The check and the write run in
    // one transaction so that two administrators cannot add the same name at once.
    db::Transaction transaction(*state_.current);
    const bool renamed = mode_ == Mode::Adding || name != originalName_;
    if (renamed) {
        db::RowSet same(*state_.current,
                        QStringLiteral("select user from users where user=") + db::quoted(name));
        same.open();
        if (!same.isEmpty()) return false;
    }
    try {
        users_->post();
    } catch (const db::DbError&) {
        // Whatever the engine refuses here is reported as a taken name; the edit stays open.
        return false;
    }
    transaction.commit();
    return true;
}

void TyhglDlg::returnToBrowsing() {
    mode_ = Mode::Browsing;
    setEditing(false);
    DBEdit1->setReadOnly(true);
    openRights(GroupBox1, false);
}

void TyhglDlg::BitBtn6Click() {
    if (users_->state() == db::RowSet::State::Edit || users_->state() == db::RowSet::State::Insert)
        users_->cancel();
    returnToBrowsing();
    try {
        users_->reopen();
    } catch (const db::DbError& e) {
        ui::warn(this, e.message());
    }
    fillGrid();
}

void TyhglDlg::BitBtn7Click() {
    accept();
}

void TyhglDlg::reject() {
    if (mode_ == Mode::Browsing) QDialog::reject();
}

}  // namespace fx::users
