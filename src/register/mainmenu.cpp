#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "dberror.h"
#include "mainform.h"
#include "mainicons.h"

// The main menu and the tool bar, and how a command reaches its handler.

namespace fx {

namespace {

QMenu* topMenu(QMenuBar* bar, const char* name, const QString& title) {
    QMenu* m = bar->addMenu(title);
    m->setObjectName(QLatin1String(name));
    return m;
}

}  // namespace

QAction* TMainForm::addCommand(QMenu* menu, const char* name, const QString& caption,
                               const QKeySequence& shortcut) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    // Nothing runs until a handler is bound (bindCommand).
    a->setEnabled(false);
    connect(a, &QAction::triggered, this, [this, a] { runCommand(a); });
    menu->addAction(a);
    return a;
}

void TMainForm::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    // Menu items are numbered in the order they appear, dividers included (N3, N6, ...), so a
    // number names one place in the menu for good.
    FileMenu = topMenu(bar, "FileMenu", QStringLiteral("文件操作(&F)"));
    N1 = addCommand(FileMenu, "N1", QStringLiteral("备份数据"));
    N2 = addCommand(FileMenu, "N2", QStringLiteral("恢复备份"));
    FileMenu->addSeparator()->setObjectName(QStringLiteral("N3"));
    N4 = addCommand(FileMenu, "N4", QStringLiteral("打开报表文件"));
    N5 = addCommand(FileMenu, "N5", QStringLiteral("打印当前资产标签"));
    ImportAssets1 = addCommand(FileMenu, "ImportAssets1", QStringLiteral("导入资产…"));
    FileMenu->addSeparator()->setObjectName(QStringLiteral("N6"));
    N7 = addCommand(FileMenu, "N7", QStringLiteral("退出"));

    QueryMenu = topMenu(bar, "QueryMenu", QStringLiteral("综合查寻(&S)"));
    N8 = addCommand(QueryMenu, "N8", QStringLiteral("查寻"), Qt::Key_F2);
    N9 = addCommand(QueryMenu, "N9", QStringLiteral("显示打印全部 "), Qt::Key_F5);
    N10 = addCommand(QueryMenu, "N10", QStringLiteral("重做上次查寻"), Qt::Key_F3);
    QueryMenu->addSeparator()->setObjectName(QStringLiteral("N11"));
    N12 = addCommand(QueryMenu, "N12", QStringLiteral("维修记录查寻"));

    DataMenu = topMenu(bar, "DataMenu", QStringLiteral("更改数据(&D)"));
    Transfer1 = addCommand(DataMenu, "Transfer1", QStringLiteral("调拨"));
    DataMenu->addSeparator();
    Scrap1 = addCommand(DataMenu, "Scrap1", QStringLiteral("报废"));
    Modify1 = addCommand(DataMenu, "Modify1", QStringLiteral("修改"));
    Delete1 = addCommand(DataMenu, "Delete1", QStringLiteral("删除"));
    New1 = addCommand(DataMenu, "New1", QStringLiteral("新增"));
    // "增加" adds one asset without the batch question; the item is kept but not shown.
    Add1 = addCommand(DataMenu, "Add1", QStringLiteral("增加"));
    Add1->setVisible(false);
    DataMenu->addSeparator();
    Save1 = addCommand(DataMenu, "Save1", QStringLiteral("保存"));
    Cancel1 = addCommand(DataMenu, "Cancel1", QStringLiteral("放弃"));

    LendingMenu = topMenu(bar, "LendingMenu", QStringLiteral("出借情况(&L)"));
    N13 = addCommand(LendingMenu, "N13", QStringLiteral("显示全部借出资产"));
    N14 = addCommand(LendingMenu, "N14", QStringLiteral("显示到期借出资产"));
    N15 = addCommand(LendingMenu, "N15", QStringLiteral("当前资产借出归还记录"));

    SystemMenu = topMenu(bar, "SystemMenu", QStringLiteral("系统维护(&O)"));
    N16 = addCommand(SystemMenu, "N16", QStringLiteral("数据字典维护"), Qt::Key_F6);
    SystemMenu->addSeparator()->setObjectName(QStringLiteral("N17"));
    N18 = addCommand(SystemMenu, "N18", QStringLiteral("修改密码"), Qt::Key_F4);
    N19 = addCommand(SystemMenu, "N19", QStringLiteral("用户管理"));
    SystemMenu->addSeparator()->setObjectName(QStringLiteral("N20"));
    N21 = addCommand(SystemMenu, "N21", QStringLiteral("系统设置"));
    N22 = addCommand(SystemMenu, "N22", QStringLiteral("修改单位名称"));
    N23 = SystemMenu->addMenu(QStringLiteral("显示参数"));
    N23->setObjectName(QStringLiteral("N23"));
    themeGroup_ = new QActionGroup(this);
    themeGroup_->setExclusive(true);
    N24 = addCommand(N23, "N24", QStringLiteral("多彩多姿"));
    N25 = addCommand(N23, "N25", QStringLiteral("蓝色魅力"));
    N26 = addCommand(N23, "N26", QStringLiteral("视窗本色"));
    for (QAction* a : {N24, N25, N26}) {
        a->setCheckable(true);
        a->setIcon(icons::themeUnticked());
        themeGroup_->addAction(a);
    }

    buildStocktakeMenu();

    HelpMenu = topMenu(bar, "HelpMenu", QStringLiteral("帮助(&H)"));
    N27 = addCommand(HelpMenu, "N27", QStringLiteral("帮助主题"), Qt::Key_F1);
    HelpMenu->addSeparator()->setObjectName(QStringLiteral("N28"));
    N29 = addCommand(HelpMenu, "N29", QStringLiteral("关于"));
}

QToolButton* TMainForm::addToolButton(const char* name, const QString& caption, const QIcon& icon,
                                      QAction* command) {
    auto* b = new QToolButton(ToolBar1);
    b->setObjectName(QLatin1String(name));
    b->setText(caption);
    b->setIcon(icon);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setEnabled(false);
    b->setFocusPolicy(Qt::NoFocus);  // a tool-bar click leaves the card's focus where it was
    ToolBar1->addWidget(b);
    buttonCommand_.insert(b, command);
    connect(b, &QToolButton::clicked, this, [this, command] { runCommand(command); });
    return b;
}

void TMainForm::buildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    using icons::Tool;
    using icons::toolPicture;
    ToolButton1 =
        addToolButton("ToolButton1", QStringLiteral("查寻"), toolPicture(Tool::Query), N8);
    ToolButton2 =
        addToolButton("ToolButton2", QStringLiteral("重查"), toolPicture(Tool::Requery), N10);
    ToolButton3 = addToolButton("ToolButton3", QStringLiteral("全部 "), toolPicture(Tool::All), N9);
    ToolButton4 =
        addToolButton("ToolButton4", QStringLiteral("已借出"), toolPicture(Tool::Lent), N13);
    ToolButton5 =
        addToolButton("ToolButton5", QStringLiteral("已到期"), toolPicture(Tool::Due), N14);
    ToolBar1->addSeparator();
    ToolButton6 = addToolButton("ToolButton6", QStringLiteral("调拨"), toolPicture(Tool::Transfer),
                                Transfer1);
    ToolButton7 =
        addToolButton("ToolButton7", QStringLiteral("报废"), toolPicture(Tool::Scrap), Scrap1);
    ToolButton8 =
        addToolButton("ToolButton8", QStringLiteral("修改"), toolPicture(Tool::Modify), Modify1);
    ToolButton9 =
        addToolButton("ToolButton9", QStringLiteral("删除"), toolPicture(Tool::Delete), Delete1);
    ToolButton10 =
        addToolButton("ToolButton10", QStringLiteral("新增"), toolPicture(Tool::New), New1);
    ToolButton11 =
        addToolButton("ToolButton11", QStringLiteral("保存"), toolPicture(Tool::Save), Save1);
    ToolButton12 =
        addToolButton("ToolButton12", QStringLiteral("放弃"), toolPicture(Tool::Cancel), Cancel1);
    ToolBar1->addSeparator();
    ToolButton13 =
        addToolButton("ToolButton13", QStringLiteral("字典"), toolPicture(Tool::Dictionary), N16);
    ToolButton14 =
        addToolButton("ToolButton14", QStringLiteral("密码"), toolPicture(Tool::Password), N18);
    ToolButton15 =
        addToolButton("ToolButton15", QStringLiteral("系统"), toolPicture(Tool::System), N21);
    ToolBar1->addSeparator();
    ToolButton16 =
        addToolButton("ToolButton16", QStringLiteral("帮助"), toolPicture(Tool::Help), N27);
}

void TMainForm::bindCommand(QAction* action, std::function<void()> handler) {
    handlers_.insert(action, std::move(handler));
    action->setEnabled(true);
    for (QToolButton* b : buttonsOf(action)) b->setEnabled(true);
}

void TMainForm::runCommand(QAction* action) {
    const auto it = handlers_.constFind(action);
    if (it == handlers_.constEnd()) return;
    // Copy: a handler may rebind commands while it runs.
    const std::function<void()> handler = it.value();
    // An engine error a command did not handle itself (a locked or unreachable database) is
    // told, and the window carries on; let through, it would end the program.
    try {
        handler();
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

QList<QToolButton*> TMainForm::buttonsOf(QAction* action) const {
    QList<QToolButton*> result;
    for (auto it = buttonCommand_.constBegin(); it != buttonCommand_.constEnd(); ++it)
        if (it.value() == action) result << it.key();
    return result;
}

void TMainForm::setCommandEnabled(QAction* action, bool on) {
    action->setEnabled(on && isBound(action));
}

void TMainForm::setButtonEnabled(QToolButton* button, bool on) {
    button->setEnabled(on && isBound(buttonCommand_.value(button)));
}

}  // namespace fx
