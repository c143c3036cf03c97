#include "registerfixture.h"

#include <QAction>
#include <QMenu>
#include <QRadioButton>
#include <QSettings>

#include "clock.h"
#include "connection.h"
#include "modal.h"
#include "rowset.h"
#include "schema.h"
#include "texitdlg.h"

namespace fx::test {

void RegisterTest::SetUp() {
    Clock::set(QDateTime(QDate(2024, 3, 15), QTime(9, 30)));
}

void RegisterTest::TearDown() {
    Clock::set(QDateTime());
}

std::unique_ptr<AppState> RegisterTest::signIn(const QString& user, const Rights& rights) {
    auto state = inst.bare();
    state->userName = user;
    state->rights = rights;
    return state;
}

void RegisterTest::exec(const QString& sql) {
    auto c = inst.openCurrentDatabase();
    c->executeNative(sql);
}

QString RegisterTest::queryText(const QString& jetSql, const QString& field) {
    auto c = inst.openCurrentDatabase();
    db::RowSet rows(*c, jetSql);
    rows.open();
    return rows.eof() ? QString() : rows.text(field);
}

void RegisterTest::completeFirstUse(const QString& organisation) {
    exec(QStringLiteral("update username set user='") + organisation +
         QStringLiteral("', password=1"));
}

QString RegisterTest::iniPath() const {
    return inst.dataDir() + QString::fromLatin1(kSettingsFile);
}

QVariant RegisterTest::iniValue(const QString& section, const QString& key) const {
    QSettings ini(iniPath(), QSettings::IniFormat);
    return ini.value(section + QLatin1Char('/') + key);
}

void RegisterTest::setIniValue(const QString& section, const QString& key, const QVariant& value) {
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.setValue(section + QLatin1Char('/') + key, value);
}

std::unique_ptr<TMainForm> RegisterTest::startedForm(AppState& state) {
    auto form = std::make_unique<TMainForm>(state);
    EXPECT_TRUE(form->startUp());
    return form;
}

bool RegisterTest::shutDownDirectly(TMainForm& form) {
    DirectExit exit;
    return form.shutDown();
}

DirectExit::DirectExit() {
    ui::setModalHandler([this](QDialog& d) {
        auto* dialog = qobject_cast<backup::TexitDlg*>(&d);
        if (!dialog || dialog->use() != backup::TexitDlg::Use::Exit) {
            ADD_FAILURE() << "unexpected dialog: " << d.metaObject()->className();
            return int(QDialog::Rejected);
        }
        ++offered_;
        EXPECT_TRUE(dialog->RadioButton1->isChecked());  // "直接退出"
        dialog->BitBtn1Click();
        return dialog->result();
    });
}

DirectExit::~DirectExit() {
    ui::setModalHandler({});
}

CommandCounter::CommandCounter(TMainForm& form) {
    for (QAction* a : form.findChildren<QAction*>()) {
        if (a->isSeparator() || a->menu() || a->objectName().isEmpty()) continue;
        if (form.isBound(a)) continue;  // keep the real commands
        counts_.insert(a, 0);
        form.bindCommand(a, [this, a] { ++counts_[a]; });
    }
}

}  // namespace fx::test
