#include "tzhcxdlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "prompt.h"
#include "querystate.h"
#include "quote.h"
#include "rowset.h"
#include "theme.h"

namespace fx::query {

namespace {

const QString kWordsHint = QStringLiteral("支持符号“+”连接的多关键字查询，例如：硬盘+声卡");

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

bool containsText(const QStringList& list, const QString& text) {
    return list.contains(text, Qt::CaseInsensitive);
}

QStringList withEmptyFirst(const QStringList& list) {
    return QStringList{QString()} + list;
}

}  // namespace

TzhcxDlg::TzhcxDlg(AppState& app, QueryState& state, QWidget* parent)
    : QDialog(parent), app_(app), state_(state) {
    setObjectName(QStringLiteral("TzhcxDlg"));
    setWindowTitle(QStringLiteral("综合查寻"));
    buildControls();
    fillLists();
    // The user's input setting: choose-only boxes, except the service life.
    const bool typing = app_.settings.cxc != 1;
    for (QueryBox* box : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5}) {
        box->setTyping(typing);
        box->setText(QString());
    }
    applyDialogTheme(this, app_.theme);
    applyDialogTheme(GroupBox1, app_.theme);
}

TzhcxDlg::~TzhcxDlg() = default;

void TzhcxDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The dialog stands in the middle of the screen, not of the main window.
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void TzhcxDlg::buildControls() {
    GroupBox1 = named(new QGroupBox(QStringLiteral("查寻条件"), this), "GroupBox1");
    auto* grid = new QGridLayout(GroupBox1);

    auto label = [this](const QString& text, const char* name) {
        return named(new QLabel(text, GroupBox1), name);
    };
    auto box = [this](const char* name) {
        auto* b = named(new QueryBox(typeAhead_, GroupBox1), name);
        b->setMinimumWidth(150);
        return b;
    };

    ComboBox1 = box("ComboBox1");
    ComboBox2 = box("ComboBox2");
    ComboBox4 = box("ComboBox4");
    ComboBox5 = box("ComboBox5");
    grid->addWidget(label(QStringLiteral("资产类别："), "Label1"), 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(label(QStringLiteral("名  称："), "Label2"), 0, 2);
    grid->addWidget(ComboBox2, 0, 3);
    grid->addWidget(label(QStringLiteral("用  途："), "Label3"), 1, 0);
    grid->addWidget(ComboBox4, 1, 1);
    grid->addWidget(label(QStringLiteral("型  号："), "Label4"), 1, 2);
    grid->addWidget(ComboBox5, 1, 3);

    Edit1 = named(new QLineEdit(GroupBox1), "Edit1");
    Edit1->setToolTip(kWordsHint);
    Edit1->installEventFilter(this);
    // "配置中" and "字符串组合：" read as one caption in front of the field.
    auto words = [&](QLabel* first, QLabel* second, QLineEdit* field, int row) {
        auto* line = new QHBoxLayout;
        line->setSpacing(0);
        line->addWidget(first);
        line->addWidget(second);
        line->addSpacing(6);
        line->addWidget(field, 1);
        grid->addLayout(line, row, 0, 1, 4);
    };
    words(label(QStringLiteral("配置中"), "Label5"),
          label(QStringLiteral("字符串组合："), "Label6"), Edit1, 2);

    // The storage radio group, left to right 全部, 按位置, 按部门, 按使用者, 按保管人.
    RadioButton1 = named(new QRadioButton(QStringLiteral("按位置"), GroupBox1), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("按使用者"), GroupBox1), "RadioButton2");
    RadioButton3 = named(new QRadioButton(QStringLiteral("全部"), GroupBox1), "RadioButton3");
    RadioButton4 = named(new QRadioButton(QStringLiteral("按部门"), GroupBox1), "RadioButton4");
    RadioButton5 = named(new QRadioButton(QStringLiteral("按保管人"), GroupBox1), "RadioButton5");
    auto* group = new QButtonGroup(this);
    auto* radios = new QHBoxLayout;
    for (QRadioButton* r : {RadioButton3, RadioButton1, RadioButton4, RadioButton2, RadioButton5}) {
        group->addButton(r);
        radios->addWidget(r);
        connect(r, &QRadioButton::clicked, this, [this] { StorageClick(); });
    }
    RadioButton3->setChecked(true);
    grid->addLayout(radios, 3, 0, 1, 4);

    Label12 = label(QStringLiteral("位  置："), "Label12");
    ComboBox3 = box("ComboBox3");
    ComboBox6 = box("ComboBox6");
    grid->addWidget(Label12, 4, 0);
    grid->addWidget(ComboBox3, 4, 1);
    grid->addWidget(label(QStringLiteral("使用年限："), "Label7"), 4, 2);
    grid->addWidget(ComboBox6, 4, 3);

    const QDate today = Clock::today();
    DateTimePicker1 = named(new QDateEdit(QDate(1949, 10, 1), GroupBox1), "DateTimePicker1");
    DateTimePicker2 = named(new QDateEdit(today.addDays(1), GroupBox1), "DateTimePicker2");
    for (QDateEdit* d : {DateTimePicker1, DateTimePicker2}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setMinimumDate(QDate(1900, 1, 1));
    }
    auto* dates = new QHBoxLayout;
    dates->addWidget(DateTimePicker1);
    dates->addWidget(label(QStringLiteral("至"), "Label8"));
    dates->addWidget(DateTimePicker2);
    dates->addStretch();  // "至" stays between its two fields
    grid->addWidget(label(QStringLiteral("购买日期："), "Label9"), 5, 0);
    grid->addLayout(dates, 5, 1, 1, 3);

    CSpinEdit1 = named(new QSpinBox(GroupBox1), "CSpinEdit1");
    CSpinEdit5 = named(new QSpinBox(GroupBox1), "CSpinEdit5");
    for (QSpinBox* s : {CSpinEdit1, CSpinEdit5}) s->setRange(0, 99999999);
    CSpinEdit1->setValue(0);
    CSpinEdit5->setValue(99999999);
    auto* prices = new QHBoxLayout;
    prices->addWidget(CSpinEdit1);
    prices->addWidget(label(QStringLiteral("至"), "Label10"));
    prices->addWidget(CSpinEdit5);
    prices->addWidget(label(QStringLiteral("元"), "Label11"));
    prices->addStretch();
    grid->addWidget(label(QStringLiteral("购买价格："), "Label13"), 6, 0);
    grid->addLayout(prices, 6, 1, 1, 3);

    Edit2 = named(new QLineEdit(GroupBox1), "Edit2");
    Edit2->setToolTip(kWordsHint);
    Edit2->installEventFilter(this);
    words(label(QStringLiteral("备注栏中"), "Label14"),
          label(QStringLiteral("字符串组合："), "Label15"), Edit2, 7);

    auto check = [this](const QString& text, const char* name) {
        return named(new QCheckBox(text, GroupBox1), name);
    };
    CheckBox4 = check(QStringLiteral("已报废"), "CheckBox4");
    CheckBox7 = check(QStringLiteral("未报废"), "CheckBox7");
    CheckBox3 = check(QStringLiteral("已经借出"), "CheckBox3");
    CheckBox2 = check(QStringLiteral("有维修记录"), "CheckBox2");
    CheckBox1 = check(QStringLiteral("有备注记录"), "CheckBox1");
    CheckBox5 = check(QStringLiteral("已过使用年限"), "CheckBox5");
    CheckBox7->setChecked(true);
    auto* checks = new QHBoxLayout;
    for (QCheckBox* c : {CheckBox4, CheckBox7, CheckBox3, CheckBox2, CheckBox1, CheckBox5}) {
        checks->addWidget(c);
    }
    grid->addLayout(checks, 8, 0, 1, 4);

    CheckBox6 = named(new QCheckBox(QStringLiteral("模糊查寻"), this), "CheckBox6");
    BitBtn1 = named(new QPushButton(QStringLiteral("确定"), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn2");
    BitBtn3 = named(new QPushButton(QStringLiteral("逻辑查寻方式…"), this), "BitBtn3");
    BitBtn1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CheckBox6);
    buttons->addStretch();
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(GroupBox1);
    outer->addLayout(buttons);

    setTabOrder(ComboBox1, ComboBox2);
    setTabOrder(ComboBox2, ComboBox4);
    setTabOrder(ComboBox4, ComboBox5);
    setTabOrder(ComboBox5, Edit1);
    setTabOrder(Edit1, RadioButton3);
    setTabOrder(RadioButton3, ComboBox3);
    setTabOrder(ComboBox3, ComboBox6);
    setTabOrder(ComboBox6, DateTimePicker1);
    setTabOrder(DateTimePicker1, DateTimePicker2);
    setTabOrder(DateTimePicker2, CSpinEdit1);
    setTabOrder(CSpinEdit1, CSpinEdit5);
    setTabOrder(CSpinEdit5, Edit2);
    setTabOrder(Edit2, CheckBox4);

    // Enter moves on to the next control, as on the card.
    for (QueryBox* b : {ComboBox1, ComboBox2, ComboBox4, ComboBox5, ComboBox3, ComboBox6}) {
        connect(b, &dictionary::TypeAheadBox::enterPressed, this, [this] { focusNextChild(); });
    }
    connect(ComboBox1, &QueryBox::droppedDown, this, [this] { ComboBox1DropDown(); });
    connect(ComboBox2, &QueryBox::droppedDown, this, [this] { ComboBox2DropDown(); });
    connect(ComboBox1, &dictionary::TypeAheadBox::left, this, [this] { ComboBox1Exit(); });
    connect(ComboBox2, &dictionary::TypeAheadBox::left, this, [this] { ComboBox2Exit(); });
    connect(CheckBox4, &QCheckBox::clicked, this, [this] { CheckBox4Click(); });
    connect(CheckBox7, &QCheckBox::clicked, this, [this] { CheckBox7Click(); });
    connect(CheckBox6, &QCheckBox::clicked, this, [this] { CheckBox6Click(); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { Edit2Change(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
}

QStringList TzhcxDlg::values(const QString& jetSql, const char* field) const {
    QStringList out;
    try {
        db::RowSet rows(*app_.current, jetSql);
        rows.open();
        const QString name = QString::fromLatin1(field);
        for (rows.first(); !rows.eof(); rows.next()) out << rows.text(name);
    } catch (const db::DbError& e) {
        ui::stop(const_cast<TzhcxDlg*>(this), e.message());
    }
    return out;
}

QStringList TzhcxDlg::allNames() const {
    return values(QStringLiteral("select name from sortb "), "name");
}

QStringList TzhcxDlg::categoryNames(const QString& category) const {
    return values(QStringLiteral("select name from sortb where sort=") + db::quoted(category),
                  "name");
}

QStringList TzhcxDlg::categoryUses(const QString& category) const {
    return values(QStringLiteral("select yt from ytb where sort=") + db::quoted(category), "yt");
}

void TzhcxDlg::fillLists() {
    ComboBox1->setEntries(withEmptyFirst(values(QStringLiteral("select * from sortproc"), "sort")));
    ComboBox2->setEntries(withEmptyFirst(allNames()));
    ComboBox6->setEntries(values(QStringLiteral("select * from syq"), "qx"));
    ComboBox6->setText(QString());
    ComboBox3->setEntries(values(QStringLiteral("select * from wzb"), "wz"));
    ComboBox3->setEnabled(false);
    Label12->setEnabled(false);
}

// ---- storage --------------------------------------------------------------------------------

Storage TzhcxDlg::storage() const {
    if (RadioButton1->isChecked()) return Storage::ByLocation;
    if (RadioButton2->isChecked()) return Storage::ByUser;
    if (RadioButton4->isChecked()) return Storage::ByDepartment;
    if (RadioButton5->isChecked()) return Storage::ByCustodian;
    return Storage::All;
}

void TzhcxDlg::chooseStorage(Storage s) {
    switch (s) {
        case Storage::ByLocation:
            RadioButton1->setChecked(true);
            break;
        case Storage::ByUser:
            RadioButton2->setChecked(true);
            break;
        case Storage::ByDepartment:
            RadioButton4->setChecked(true);
            break;
        case Storage::ByCustodian:
            RadioButton5->setChecked(true);
            break;
        case Storage::All:
            RadioButton3->setChecked(true);
            break;
    }
    StorageClick();
}

void TzhcxDlg::StorageClick() {
    const Storage s = storage();
    if (s == Storage::All) {
        ComboBox3->setEntries({});
        ComboBox3->setText(QString());
        ComboBox3->setEnabled(false);
        Label12->setEnabled(false);
        return;
    }
    QStringList list;
    switch (s) {
        case Storage::ByLocation:
            Label12->setText(QStringLiteral("位  置："));
            list = values(QStringLiteral("select * from wzb"), "wz");
            break;
        case Storage::ByUser:
            Label12->setText(QStringLiteral("使用者："));
            list = values(QStringLiteral("select * from person"), "pname");
            break;
        case Storage::ByDepartment:
            Label12->setText(QStringLiteral("部  门："));
            list = values(QStringLiteral("select * from wzb where isbm"), "wz");
            break;
        case Storage::ByCustodian:
            Label12->setText(QStringLiteral("保管人："));
            list = values(QStringLiteral("select * from person"), "pname");
            break;
        case Storage::All:
            break;
    }
    const QString place = ComboBox3->text();
    ComboBox3->setEntries(list);
    if (!list.contains(place)) ComboBox3->setText(QString());
    ComboBox3->setEnabled(true);
    Label12->setEnabled(true);
}

// ---- check boxes ----------------------------------------------------------------------------

void TzhcxDlg::CheckBox4Click() {
    if (CheckBox4->isChecked()) CheckBox7->setChecked(false);
}

void TzhcxDlg::CheckBox7Click() {
    if (CheckBox7->isChecked()) CheckBox4->setChecked(false);
}

void TzhcxDlg::CheckBox6Click() {
    if (CheckBox6->isChecked()) {
        RadioButton4->setEnabled(false);
        if (RadioButton4->isChecked()) chooseStorage(Storage::All);
    } else {
        RadioButton4->setEnabled(true);
    }
}

void TzhcxDlg::Edit2Change() {
    if (!Edit2->text().trimmed().isEmpty()) CheckBox1->setChecked(true);
}

bool TzhcxDlg::eventFilter(QObject* watched, QEvent* event) {
    // Apostrophes are kept out of the word boxes at the keyboard.
    if ((watched == Edit1 || watched == Edit2) && event->type() == QEvent::KeyPress) {
        if (static_cast<QKeyEvent*>(event)->text().contains(QLatin1Char('\''))) return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- lists ------------------------------------------------------------------------------------

void TzhcxDlg::ComboBox1DropDown() {
    ComboBox1->setEntries(withEmptyFirst(values(QStringLiteral("select * from sortproc"), "sort")));
}

void TzhcxDlg::ComboBox2DropDown() {
    if (ComboBox1->text().isEmpty()) ComboBox2->setEntries(withEmptyFirst(allNames()));
}

void TzhcxDlg::ComboBox1Exit() {
    const QString category = ComboBox1->text().trimmed();
    ComboBox4->setEntries({});
    bool nameCleared = false;
    if (!category.isEmpty()) {
        const QStringList names = categoryNames(category);
        ComboBox2->setEntries(withEmptyFirst(names));
        if (!containsText(withEmptyFirst(names), ComboBox2->text())) {
            ComboBox2->setText(QString());
            ComboBox5->setText(QString());
            ComboBox5->setEntries({});
            nameCleared = true;
        }
    } else {
        ComboBox2->setEntries(withEmptyFirst(allNames()));
    }
    const QStringList uses = categoryUses(category);
    ComboBox4->setEntries(withEmptyFirst(uses));
    if (nameCleared && !containsText(withEmptyFirst(uses), ComboBox4->text())) {
        ComboBox4->setText(QString());
    }
}

void TzhcxDlg::ComboBox2Exit() {
    const QString name = ComboBox2->text().trimmed();
    if (name.isEmpty()) {
        chooseStorage(Storage::All);
        return;
    }
    ComboBox3->setEntries({});
    ComboBox4->setEntries({});
    ComboBox5->setEntries({});
    const QStringList models =
        values(QStringLiteral("select sbxh from xhpz where sbmc=") + db::quoted(name), "sbxh");
    ComboBox5->setEntries(withEmptyFirst(models));
    bool modelCleared = false;
    if (!containsText(withEmptyFirst(models), ComboBox5->text())) {
        ComboBox5->setText(QString());
        modelCleared = true;
    }

    // The storage mode of the name. A name the dictionary does not hold leaves the radio as it
    // is and takes the uses of the category in the box.
    QString category = ComboBox1->text().trimmed();
    const QStringList sorts =
        values(QStringLiteral("select * from sortb where name=") + db::quoted(name), "sort");
    const QStringList modes =
        values(QStringLiteral("select * from sortb where name=") + db::quoted(name), "wzorgr");
    const bool placeRadioWasChosen =
        storage() == Storage::ByLocation || storage() == Storage::ByUser;
    if (!sorts.isEmpty() && !modes.isEmpty()) {
        category = sorts.first();
        if (modes.first() != QLatin1String("0") && modes.first() != QLatin1String("false")) {
            if (storage() == Storage::ByLocation) {
                StorageClick();
            } else {
                chooseStorage(Storage::ByLocation);
            }
        } else if (storage() == Storage::ByUser) {
            StorageClick();
        } else {
            chooseStorage(Storage::ByUser);
        }
    } else if (storage() != Storage::All) {
        StorageClick();
    }
    const QStringList uses = categoryUses(category);
    ComboBox4->setEntries(withEmptyFirst(uses));
    if (modelCleared) {
        if (placeRadioWasChosen && !ComboBox3->entries().contains(ComboBox3->text())) {
            ComboBox3->setText(QString());
        }
        if (!containsText(withEmptyFirst(uses), ComboBox4->text())) ComboBox4->setText(QString());
    }
}

// ---- building the query -----------------------------------------------------------------------

QueryForm TzhcxDlg::readForm() {
    auto trimmedBox = [](QueryBox* box) {
        const QString t = box->text().trimmed();
        if (t != box->text()) box->setText(t);
        return t;
    };
    auto trimmedEdit = [](QLineEdit* edit) {
        const QString t = edit->text().trimmed();
        if (t != edit->text()) edit->setText(t);
        return t;
    };
    QueryForm f;
    f.category = trimmedBox(ComboBox1);
    f.name = trimmedBox(ComboBox2);
    f.place = trimmedBox(ComboBox3);
    f.use = trimmedBox(ComboBox4);
    f.model = trimmedBox(ComboBox5);
    f.life = trimmedBox(ComboBox6);
    f.configuration = trimmedEdit(Edit1);
    f.remarks = trimmedEdit(Edit2);
    f.storage = storage();
    f.fuzzy = CheckBox6->isChecked();
    f.hasRemarks = CheckBox1->isChecked();
    f.hasMaintenance = CheckBox2->isChecked();
    f.lent = CheckBox3->isChecked();
    f.scrapped = CheckBox4->isChecked();
    f.notScrapped = CheckBox7->isChecked();
    f.pastLife = CheckBox5->isChecked();
    f.priceFrom = CSpinEdit1->value();
    f.priceTo = CSpinEdit5->value();
    f.boughtFrom = DateTimePicker1->date();
    f.boughtTo = DateTimePicker2->date();
    if (f.storage == Storage::ByDepartment && !f.place.isEmpty()) {
        f.departmentPeople = values(
            QStringLiteral("select pname from person where bm=") + db::quoted(f.place), "pname");
    }
    return f;
}

QString TzhcxDlg::buildConditions() {
    return conditionFragments(readForm());
}

void TzhcxDlg::BitBtn1Click() {
    state_.queryText += buildConditions();
    accept();
}

void TzhcxDlg::BitBtn3Click() {
    done(kLogical);
}

}  // namespace fx::query
