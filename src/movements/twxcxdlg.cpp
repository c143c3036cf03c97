#include "twxcxdlg.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "clock.h"
#include "dberror.h"
#include "prompt.h"
#include "quote.h"
#include "rowset.h"

namespace fx::movements {

namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QStringList withEmptyFirst(const QStringList& list) {
    return QStringList{QString()} + list;
}

// The comparison the dictionary fields use: whole text, any letter case.
bool listed(const QStringList& list, const QString& text) {
    return list.contains(text, Qt::CaseInsensitive);
}

QString trimmedBox(query::QueryBox* box) {
    const QString t = box->text().trimmed();
    if (t != box->text()) box->setText(t);
    return t;
}

}  // namespace

TwxcxDlg::TwxcxDlg(AppState& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("TwxcxDlg"));
    setWindowTitle(QStringLiteral("请输入维修查寻条件(含子串)"));
    buildControls();
    fillLists();
    applyMaintenanceColour(this, app_.theme);
}

TwxcxDlg::~TwxcxDlg() = default;

void TwxcxDlg::buildControls() {
    const QDate earliest(1949, 10, 1);
    const QDate tomorrow = Clock::today().addDays(1);
    auto date = [this](const char* name, const QDate& value) {
        auto* d = named(new QDateEdit(value, this), name);
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setMinimumDate(QDate(1900, 1, 1));
        return d;
    };
    auto box = [this](const char* name) {
        auto* b = named(new query::QueryBox(typeAhead_, this), name);
        b->setTyping(true);
        b->setMinimumWidth(140);
        return b;
    };
    auto label = [this](const QString& text) { return new QLabel(text, this); };

    DateTimePicker1 = date("DateTimePicker1", earliest);
    DateTimePicker2 = date("DateTimePicker2", tomorrow);
    DateTimePicker4 = date("DateTimePicker4", earliest);
    DateTimePicker3 = date("DateTimePicker3", tomorrow);
    ComboBox1 = box("ComboBox1");
    ComboBox2 = box("ComboBox2");
    ComboBox3 = box("ComboBox3");
    ComboBox4 = box("ComboBox4");
    Label6 = named(label(QStringLiteral("使用单位：")), "Label6");

    auto* grid = new QGridLayout;
    grid->addWidget(label(QStringLiteral("送修日期：")), 0, 0);
    grid->addWidget(DateTimePicker1, 0, 1);
    grid->addWidget(label(QStringLiteral("至")), 0, 2);
    grid->addWidget(DateTimePicker2, 0, 3);
    grid->addWidget(label(QStringLiteral("资产类别：")), 0, 4);
    grid->addWidget(ComboBox1, 0, 5);
    grid->addWidget(label(QStringLiteral("维修日期：")), 1, 0);
    grid->addWidget(DateTimePicker4, 1, 1);
    grid->addWidget(label(QStringLiteral("至")), 1, 2);
    grid->addWidget(DateTimePicker3, 1, 3);
    grid->addWidget(label(QStringLiteral("资产名称：")), 1, 4);
    grid->addWidget(ComboBox2, 1, 5);
    grid->addWidget(Label6, 2, 0);
    grid->addWidget(ComboBox4, 2, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("规格型号：")), 2, 4);
    grid->addWidget(ComboBox3, 2, 5);

    BitBtn1 = named(new QPushButton(QStringLiteral("确定"), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn2");
    BitBtn1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(buttons);

    setTabOrder(DateTimePicker1, DateTimePicker2);
    setTabOrder(DateTimePicker2, ComboBox1);
    setTabOrder(ComboBox1, DateTimePicker4);
    setTabOrder(DateTimePicker4, DateTimePicker3);
    setTabOrder(DateTimePicker3, ComboBox2);
    setTabOrder(ComboBox2, ComboBox4);
    setTabOrder(ComboBox4, ComboBox3);
    setTabOrder(ComboBox3, BitBtn1);

    // The boxes keep Enter for themselves: it moves on, as everywhere in the program.
    for (query::QueryBox* b : {ComboBox1, ComboBox2, ComboBox3, ComboBox4})
        connect(b, &dictionary::TypeAheadBox::enterPressed, this, [this] { focusNextChild(); });
    connect(ComboBox1, &query::QueryBox::droppedDown, this, [this] { ComboBox1DropDown(); });
    connect(ComboBox2, &query::QueryBox::droppedDown, this, [this] { ComboBox2DropDown(); });
    connect(ComboBox1, &dictionary::TypeAheadBox::left, this, [this] { ComboBox1Exit(); });
    connect(ComboBox2, &dictionary::TypeAheadBox::left, this, [this] { ComboBox2Exit(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList TwxcxDlg::values(const QString& jetSql, const char* field) {
    QStringList out;
    try {
        db::RowSet rows(*app_.current, jetSql);
        rows.open();
        const QString name = QString::fromLatin1(field);
        for (rows.first(); !rows.eof(); rows.next()) out << rows.text(name);
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
    }
    return out;
}

QStringList TwxcxDlg::categories() {
    return values(QStringLiteral("select * from sortproc"), "sort");
}

QStringList TwxcxDlg::allNames() {
    return values(QStringLiteral("select name from sortb "), "name");
}

QStringList TwxcxDlg::places() {
    return values(QStringLiteral("select * from wzb"), "wz");
}

QStringList TwxcxDlg::people() {
    return values(QStringLiteral("select * from person"), "pname");
}

void TwxcxDlg::fillLists() {
    ComboBox4->setEntries(places());
    ComboBox1->setEntries(withEmptyFirst(categories()));
    ComboBox2->setEntries(withEmptyFirst(allNames()));
    for (query::QueryBox* b : {ComboBox1, ComboBox2, ComboBox3, ComboBox4}) b->setText(QString());
}

void TwxcxDlg::ComboBox1DropDown() {
    ComboBox1->setEntries(withEmptyFirst(categories()));
}

void TwxcxDlg::ComboBox2DropDown() {
    if (ComboBox1->text().isEmpty()) ComboBox2->setEntries(withEmptyFirst(allNames()));
}

void TwxcxDlg::ComboBox1Exit() {
    const QString category = trimmedBox(ComboBox1);
    ComboBox4->setEntries({});
    if (category.isEmpty()) {
        ComboBox2->setEntries(withEmptyFirst(allNames()));
        return;
    }
    const QStringList names = withEmptyFirst(values(
        QStringLiteral("select name from sortb where sort=") + db::quoted(category), "name"));
    ComboBox2->setEntries(names);
    if (!listed(names, ComboBox2->text())) {
        ComboBox2->setText(QString());
        ComboBox3->setText(QString());
        ComboBox3->setEntries({});
    }
}

void TwxcxDlg::ComboBox2Exit() {
    const QString name = trimmedBox(ComboBox2);
    if (name.isEmpty()) return;
    const QStringList models = withEmptyFirst(
        values(QStringLiteral("select sbxh from xhpz where sbmc=") + db::quoted(name), "sbxh"));
    ComboBox3->setEntries(models);
    bool modelCleared = false;
    if (!listed(models, ComboBox3->text())) {
        ComboBox3->setText(QString());
        modelCleared = true;
    }

    // The name's dictionary row decides whether its assets stand at a location or are held by
    // a person; a name the dictionary does not hold leaves the box as it is.
    const QStringList modes =
        values(QStringLiteral("select * from sortb where name=") + db::quoted(name), "wzorgr");
    if (modes.isEmpty()) return;
    const bool atLocation =
        modes.first() != QLatin1String("0") && modes.first() != QLatin1String("false");
    Label6->setText(atLocation ? QStringLiteral("使用单位：") : QStringLiteral("使用者："));
    const QStringList list = atLocation ? places() : people();
    ComboBox4->setEntries(list);
    if (modelCleared && !listed(list, ComboBox4->text())) ComboBox4->setText(QString());
}

MaintenanceFilter TwxcxDlg::readFilter() {
    MaintenanceFilter f;
    f.category = trimmedBox(ComboBox1);
    f.name = trimmedBox(ComboBox2);
    f.model = trimmedBox(ComboBox3);
    f.place = trimmedBox(ComboBox4);
    f.sentFrom = DateTimePicker1->date();
    f.sentTo = DateTimePicker2->date();
    f.repairedFrom = DateTimePicker4->date();
    f.repairedTo = DateTimePicker3->date();
    return f;
}

void TwxcxDlg::BitBtn1Click() {
    queryText_ = maintenanceQueryText(readFilter());
    accept();
}

}  // namespace fx::movements
