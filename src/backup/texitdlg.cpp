#include "texitdlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QVBoxLayout>

#include "appstate.h"
#include "backupmessages.h"
#include "backupoperations.h"
#include "clock.h"
#include "dberror.h"
#include "modal.h"
#include "prompt.h"
#include "statelocation.h"
#include "theme.h"

namespace fx::backup {

namespace {

// The filters are kept in the program's "description|pattern|..." form and turned into the
// file dialog's "description(patterns);;..." form here. A description that already names its
// patterns in brackets gets the filter's own patterns there, so that they show once.
QString dialogFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = parts.at(i);
        const qsizetype bracket = description.lastIndexOf(QLatin1Char('('));
        if (description.endsWith(QLatin1Char(')')) && bracket >= 0)
            description.truncate(bracket);
        else
            description += QLatin1Char(' ');
        entries << description + QLatin1Char('(') + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

const char* const kSaveFilterBoth = "所有青石岭备份文件(*.qsl;*.qsh)|*.qsl";
const char* const kSaveFilterCurrent = "当前库备份文件(*.qsl)|*.qsl";
const char* const kSaveFilterHistory = "历史库备份文件(*.qsh)|*.qsh";
const char* const kOpenFilter =
    "所有青石岭备份文件(*.qsl;*.qsh)|*.qsl;*.qsh|青石岭当前库备份文件(*.qsl)|*.qsl|"
    "青石岭历史库备份文件(*.qsh)|*.qsh|所有文件(*.*)|*.*";

void tell(QWidget* parent, const Result& result) {
    switch (result.status) {
        case Status::Done:
        case Status::OthersOnline:
            ui::inform(parent, result.message, text::hint());
            break;
        default:
            ui::warn(parent, result.message, text::warning());
            break;
    }
}

}  // namespace

TexitDlg::TexitDlg(AppState& state, Use use, const ConnectionHooks& hooks, QWidget* parent,
                   const schema::KeyRing& restoreKeys)
    : QDialog(parent),
      state_(state),
      use_(use),
      hooks_(completeHooks(hooks, state)),
      restoreKeys_(restoreKeys.isEmpty() ? state.keyRing() : restoreKeys),
      saveFileName_(defaultBackupName(Clock::today())) {
    setObjectName(QStringLiteral("TexitDlg"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Animate1 = new QLabel(this);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, kProgressMaximum);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    RadioButton1 = new QRadioButton(QStringLiteral("直接退出"), Panel1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("备份后退出"), Panel1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->addWidget(RadioButton1);
    panelLayout->addWidget(RadioButton2);

    CheckBox1 = new QCheckBox(QStringLiteral("不再提示"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox3 = new QCheckBox(QStringLiteral("当前库"), this);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    CheckBox3->setChecked(true);
    CheckBox2 = new QCheckBox(QStringLiteral("历史库"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setChecked(true);

    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(Animate1);
    top->addWidget(Label1, 1);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(CheckBox1);
    boxes->addWidget(CheckBox3);
    boxes->addWidget(CheckBox2);
    boxes->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Panel1);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    // The animation is decoration: shown when the start folder holds one Qt can play.
    Animate1->hide();
    for (const char* name : {"Download.avi", "Download.gif"}) {
        const QString path = QDir(state_.startDir).filePath(QLatin1String(name));
        if (!QFileInfo::exists(path)) continue;
        auto* movie = new QMovie(path, QByteArray(), Animate1);
        if (!movie->isValid()) {
            delete movie;
            continue;
        }
        Animate1->setMovie(movie);
        Animate1->show();
        movie->start();
        break;
    }

    switch (use_) {
        case Use::Exit:
            setWindowTitle(QStringLiteral("选择退出"));
            CheckBox3->hide();
            CheckBox2->hide();
            break;
        case Use::Backup:
            setWindowTitle(QStringLiteral("数据备份"));
            Label1->setText(QStringLiteral("真的需要备份吗？"));
            Panel1->hide();
            CheckBox1->hide();
            RadioButton2->setChecked(true);
            break;
        case Use::Restore:
            setWindowTitle(text::restoreCaption());
            Label1->setText(text::restoreQuestion());
            Panel1->hide();
            CheckBox1->hide();
            CheckBox3->hide();
            CheckBox2->hide();
            break;
    }
    // The status line and the progress bar show once there is something to tell: an empty
    // line and bar look like boxes to fill in.
    Label1->setVisible(!Label1->text().isEmpty());
    ProgressBar1->hide();
    applyDialogTheme(this, state_.theme);
}

TexitDlg::~TexitDlg() = default;

void TexitDlg::BitBtn1Click() {
    switch (use_) {
        case Use::Exit:
            if (RadioButton1->isChecked() || runBackup()) accept();
            break;
        case Use::Backup:
            if (runBackup()) accept();
            break;
        case Use::Restore:
            if (identified_)
                startRestore();
            else
                chooseBackupFile();
            break;
    }
}

bool TexitDlg::runBackup() {
    const bool current = CheckBox3->isChecked();
    const bool history = CheckBox2->isChecked();
    if (!current && !history) {
        ui::inform(this, text::chooseDatabase(), text::hint());
        return false;
    }
    const char* filter = current && history ? kSaveFilterBoth
                         : current          ? kSaveFilterCurrent
                                            : kSaveFilterHistory;
    QString chosen = ui::chooseFile(
        this, {true, QStringLiteral("另存为"), QDir(state_.startDir).filePath(saveFileName_),
               dialogFilter(QString::fromUtf8(filter))});
    if (chosen.isEmpty()) return true;
    chosen = withDefaultSuffix(chosen);

    const QString currentTarget = currentBackupTarget(chosen, current && history);
    const QString historyTarget = historyBackupTarget(chosen);
    if ((current && namesDatabaseFile(currentTarget, state_.dataDir)) ||
        (history && namesDatabaseFile(historyTarget, state_.dataDir))) {
        ui::warn(this, text::backupOntoDatabase(), text::warning());
        return false;
    }
    // Both files of one run carry its time; a pair left by two runs is pointed out first.
    if (current && history && !pairBelongsTogether(currentTarget, historyTarget))
        ui::inform(this, text::pairMismatch(currentTarget, historyTarget), text::hint());
    const BackupRun run = BackupRun::now();
    if (current && !backupOne(DatabaseKind::Current, currentTarget, run)) return false;
    if (history) {
        saveFileName_ = historyTarget;
        if (!backupOne(DatabaseKind::History, historyTarget, run)) return false;
    }
    return true;
}

bool TexitDlg::backupOne(DatabaseKind kind, const QString& target, const BackupRun& run) {
    const bool isCurrent = kind == DatabaseKind::Current;
    closeConnection(kind);
    if (QFileInfo::exists(target) &&
        !ui::confirm(this, isCurrent ? text::currentExists() : text::historyExists(),
                     text::hint())) {
        reopenConnection(kind);
        return false;
    }
    setStatus(isCurrent ? text::currentBackingUp() : text::historyBackingUp());
    ProgressBar1->setValue(0);
    const Result result = backupDatabase(
        databaseLocation(state_, kind), kind, target, [this](int chunks) { showChunks(chunks); },
        run);
    reopenConnection(kind);
    tell(this, result);
    return result.ok();
}

void TexitDlg::chooseBackupFile() {
    const QString file = ui::chooseFile(this, {false, text::chooseBackupCaption(), state_.startDir,
                                               dialogFilter(QString::fromUtf8(kOpenFilter))});
    if (file.isEmpty()) return;
    const IdentifiedBackup found = identifyBackup(file, restoreKeys_);
    if (!found.ok) {
        ui::warn(this, text::notADatabase(), text::warning());
        return;
    }
    identified_ = true;
    kind_ = found.kind;
    backupFile_ = file;
    backupPassword_ = found.password;
    setWindowTitle(kind_ == DatabaseKind::Current ? text::currentKindCaption(found.version)
                                                  : text::historyKindCaption(found.version));
    setStatus(text::pressStart());
    BitBtn1->setText(QStringLiteral("开始"));
}

void TexitDlg::startRestore() {
    const bool isCurrent = kind_ == DatabaseKind::Current;
    closeConnection(kind_);
    setStatus(text::restoring());
    ProgressBar1->setValue(0);
    const Result result =
        restoreDatabase(backupFile_, databaseLocation(state_, kind_), kind_, backupPassword_,
                        [this](int chunks) { showChunks(chunks); });
    if (result.ok()) {
        done(isCurrent ? int(QDialog::Accepted) : kHistoryRestored);
        return;
    }
    ui::prompt(this, {text::warning(), result.message, ui::Icon::Stop});
    const DatabaseKind kind = kind_;
    forgetBackupFile();
    reopenConnection(kind);
}

void TexitDlg::forgetBackupFile() {
    identified_ = false;
    kind_ = DatabaseKind::Current;
    backupFile_.clear();
    backupPassword_.clear();
    setStatus(text::restoreQuestionAgain());
    BitBtn1->setText(QStringLiteral("确定"));
}

void TexitDlg::closeConnection(DatabaseKind kind) {
    hooks_.close(kind);
}

void TexitDlg::reopenConnection(DatabaseKind kind) {
    try {
        hooks_.reopen(kind);
    } catch (const db::DbError& e) {
        ui::warn(this, e.message(), text::warning());
    }
}

void TexitDlg::setStatus(const QString& text) {
    Label1->setText(text);
    Label1->setVisible(!text.isEmpty());
    Label1->repaint();
}

void TexitDlg::showChunks(int chunks) {
    ProgressBar1->show();
    ProgressBar1->setValue(progressValue(chunks));
    ProgressBar1->repaint();
}

}  // namespace fx::backup
