#include "mainform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDateEdit>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

#include "backupcommands.h"
#include "mainicons.h"
#include "resulthooks.h"
#include "rowset.h"

namespace fx {

namespace {

// Rows of the card inside the group box; the left column's labels and fields stay where they
// are, the right column and the widths follow the layout rules.
constexpr int kLabelLeft = 16;
constexpr int kFieldLeft = 88;
constexpr int kFieldHeight = 22;
constexpr int kRowTop[] = {24, 54, 84, 114, 144, 174, 204};
constexpr int kMemoHeight = 80;
constexpr int kButtonWidth = 76;
constexpr int kButtonHeight = 25;

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* l = named(new QLabel(text, parent), name);
    l->move(x, y + 3);
    l->adjustSize();
    return l;
}

// A dictionary field: a type-ahead box that never adds the typed text to its list itself.
dictionary::TypeAheadBox* list(dictionary::TypeAheadState& shared, QWidget* parent,
                               const char* name, int x, int y) {
    auto* c = named(new dictionary::TypeAheadBox(shared, parent), name);
    c->setGeometry(x, y, 178, kFieldHeight);
    return c;
}

}  // namespace

QString TMainForm::initialPrompt() {
    return QStringLiteral("提示：输入序号或编号后，敲回车键，显示该记录内容。(Tab键切换两栏)");
}

TMainForm::TMainForm(AppState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("青石岭"));
    setWindowIcon(icons::toolPicture(icons::Tool::System));

    buildMenu();
    buildToolBar();
    buildPanel();
    buildCard();
    buildStatusBar();
    setUpNumberBox();
    setUpDictionaryFields();
    bindSystemCommands();
    bindUserCommands();
    bindBackupCommands();
    bindDictionaryCommand();
    bindEditCommands();
    bindQueryCommands();
    bindMaintenanceCommands();
    bindLoanCommands();
    bindTransferCommands();
    bindStocktakeCommands();
    bindHistoryCommands();
    bindPrintCommands();
    bindImportCommand();

    // Fixed at the design size, but the maximise button still works (mainlayout.cpp).
    setMaximised(false);
    applyLayoutRules(outerWidth());
}

TMainForm::~TMainForm() {
    // The results window must not hand a batch or a print to a window that is gone.
    query::setBatchTransferHandler({});
    query::setPrintHandler({});
    closeDataSets();
    // A window that never shut down (start-up refused) still gives its presence up.
    if (presenceHeld_) backup::leavePresence(state_);
    delete splash_.data();  // never shown: the window was not either
}

void TMainForm::buildPanel() {
    auto* central = named(new QWidget(this), "CentralWidget");
    setCentralWidget(central);
    central->installEventFilter(this);

    Panel1 = named(new QFrame(central), "Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setAutoFillBackground(true);

    Image1 = named(new QLabel(Panel1), "Image1");
    Image1->setPixmap(icons::banner());
    Image1->setGeometry(8, 4, Image1->pixmap().width(), Image1->pixmap().height());

    Label13 = label(Panel1, "Label13", QStringLiteral("序号"), 330, 14);
    SpinEdit1 = named(new QSpinBox(Panel1), "SpinEdit1");
    SpinEdit1->setRange(0, 999999999);
    SpinEdit1->setGeometry(362, 14, 120, kFieldHeight);
    SpinEdit1->installEventFilter(this);

    Label14 = label(Panel1, "Label14", QStringLiteral("编号"), 500, 14);
    ComboBox1 = named(new QComboBox(Panel1), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setGeometry(532, 14, 150, kFieldHeight);

    GroupBox1 = named(new CardGroupBox(QStringLiteral("固定资产"), Panel1), "GroupBox1");
    GroupBox1->setGeometry(32, 52, 669, 300);
}

void TMainForm::buildCard() {
    QWidget* g = GroupBox1;
    const int* row = kRowTop;
    // Right-column positions are placeholders until the layout rules run.
    Label1 = label(g, "Label1", QStringLiteral("资产类别："), kLabelLeft, row[0]);
    DBComboBox1 = list(typeAhead_, g, "DBComboBox1", kFieldLeft, row[0]);
    Label2 = label(g, "Label2", QStringLiteral("名  称："), 370, row[0]);
    DBComboBox2 = list(typeAhead_, g, "DBComboBox2", 444, row[0]);

    Label3 = label(g, "Label3", QStringLiteral("用  途："), kLabelLeft, row[1]);
    DBComboBox4 = list(typeAhead_, g, "DBComboBox4", kFieldLeft, row[1]);
    Label4 = label(g, "Label4", QStringLiteral("型  号："), 370, row[1]);
    DBComboBox5 = list(typeAhead_, g, "DBComboBox5", 444, row[1]);

    Label5 = label(g, "Label5", QStringLiteral("配  置："), kLabelLeft, row[2]);
    DBEdit3 = named(new QLineEdit(g), "DBEdit3");
    DBEdit3->setMaxLength(100);
    DBEdit3->setGeometry(kFieldLeft, row[2], 511, kFieldHeight);

    Label6 = label(g, "Label6", QStringLiteral("购买日期："), kLabelLeft, row[3]);
    DateTimePicker1 = named(new QDateEdit(g), "DateTimePicker1");
    DateTimePicker1->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    DateTimePicker1->setDisplayFormat(
        QLocale(QLocale::Chinese, QLocale::China).dateFormat(QLocale::LongFormat));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setGeometry(kFieldLeft, row[3], 178, kFieldHeight);
    DateTimePicker1->installEventFilter(this);

    Label9 = label(g, "Label9", QStringLiteral("购买价格："), 356, row[3]);
    DBEdit1 = named(new QLineEdit(g), "DBEdit1");
    DBEdit1->setMaxLength(10);
    DBEdit1->setGeometry(444, row[3], 95, kFieldHeight);
    DBEdit1->installEventFilter(this);
    Label10 = label(g, "Label10", QStringLiteral("元"), 545, row[3]);
    Label11 = label(g, "Label11", QStringLiteral("（人民币）"), 561, row[3]);

    Label7 = label(g, "Label7", QStringLiteral("位  置："), kLabelLeft, row[4]);
    DBComboBox3 = list(typeAhead_, g, "DBComboBox3", kFieldLeft, row[4]);
    Label8 = label(g, "Label8", QStringLiteral("使用年限："), 356, row[4]);
    DBComboBox6 = list(typeAhead_, g, "DBComboBox6", 444, row[4]);

    Label15 = label(g, "Label15", QStringLiteral("来源方式："), kLabelLeft, row[5]);
    DBComboBox7 = list(typeAhead_, g, "DBComboBox7", kFieldLeft, row[5]);
    Label16 = label(g, "Label16", QStringLiteral("保管人："), 370, row[5]);
    DBComboBox8 = list(typeAhead_, g, "DBComboBox8", 444, row[5]);

    Label12 = label(g, "Label12", QStringLiteral("备  注："), kLabelLeft, row[6]);
    DBMemo1 = named(new QPlainTextEdit(g), "DBMemo1");
    DBMemo1->setTabChangesFocus(true);
    DBMemo1->setGeometry(kFieldLeft, row[6], 427, kMemoHeight);

    // The three buttons stand beside the card on the panel, not in the card's group: the card's
    // fields take no input while browsing, and lending and the histories are used then.
    BitBtn1 = named(new QPushButton(QStringLiteral("未借出"), Panel1), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("维修记录"), Panel1), "BitBtn2");
    BitBtn3 = named(new QPushButton(QStringLiteral("调拨记录"), Panel1), "BitBtn3");
    int y = GroupBox1->y() + row[6];
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3}) {
        b->setGeometry(581, y, kButtonWidth, kButtonHeight);
        b->raise();
        // Lending, maintenance and transfer histories come with their own windows; until a
        // record is shown there is nothing for them to act on.
        b->setEnabled(false);
        y += kButtonHeight + 3;
    }

    // Tab order of the card: the order the fields are filled in.
    QWidget* order[] = {DBComboBox1, DBComboBox2,     DBComboBox4, DBComboBox5,
                        DBEdit3,     DateTimePicker1, DBComboBox3, DBComboBox6,
                        DBEdit1,     DBComboBox7,     DBComboBox8, DBMemo1};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TMainForm::buildStatusBar() {
    auto* bar = named(new QStatusBar(this), "StatusBar1");
    setStatusBar(bar);
    bar->setSizeGripEnabled(false);  // the window is not resized by dragging
    StatusPanel0 = named(new QLabel(initialPrompt(), bar), "StatusPanel0");
    StatusPanel1 = named(new QLabel(QStringLiteral("用户："), bar), "StatusPanel1");
    bar->addWidget(StatusPanel0, 3);
    bar->addWidget(StatusPanel1, 1);
}

QList<dictionary::TypeAheadBox*> TMainForm::cardLists() const {
    return {DBComboBox1, DBComboBox2, DBComboBox4, DBComboBox5,
            DBComboBox3, DBComboBox6, DBComboBox7, DBComboBox8};
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        applyLayoutRules(outerWidth());
        return false;
    }
    // Nothing below is watched before the whole window is built.
    if (!numberCompleter_) return QMainWindow::eventFilter(watched, event);
    if (watched == ComboBox1 || watched == ComboBox1->lineEdit() || watched == numberListView() ||
        watched == ComboBox1->view())
        return filterNumberBox(watched, event);
    if (watched == DBEdit3 || watched == DBMemo1) return filterTextField(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == SpinEdit1) return filterSerialKey(key);
        if (watched == DBEdit1 || watched == DateTimePicker1) return filterCardEnter(watched, key);
        for (dictionary::TypeAheadBox* box : cardLists())
            if (watched == box) return filterListKey(box, key);
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::filterSerialKey(QKeyEvent* event) {
    // The serial box takes digits and Backspace; every other character, Enter included, is
    // swallowed. Keys that type nothing (arrows, Tab, Delete) keep their usual meaning.
    const int key = event->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) return false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        SpinEdit1->interpretText();
        showSerial(SpinEdit1->value());
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint()) return false;
    return !(text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9');
}

bool TMainForm::filterCardEnter(QObject* watched, QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    moveOnFrom(static_cast<QWidget*>(watched));
    return true;
}

}  // namespace fx
