#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

#include "appstate.h"
#include "assetnumber.h"
#include "cardcheck.h"
#include "cardgroupbox.h"
#include "connectionhooks.h"
#include "querystate.h"
#include "typeaheadbox.h"

class QAbstractItemView;
class QAction;
class QActionGroup;
class QCompleter;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolBar;
class QToolButton;

namespace fx::db {
class RowSet;
}

namespace fx::history {
class ChangeRecorder;
}

namespace fx {

// The main window: one asset card, the main menu, the tool bar and the status bar. It owns the
// card row set and the dictionary tables for the whole run and is the place every other window
// is opened from.
//
// Construction only builds the widgets and binds the commands that exist; startUp() then brings
// the window to an empty card on an open database. Every command is a menu action with a program
// name (N1..., Transfer1...); a tool-bar button with the same caption runs the same handler.
// A command nobody has bound a handler to stays disabled whatever the state rules say.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // The client size the window is designed for; it is centred on the screen at this size.
    static constexpr int kClientWidth = 733;
    static constexpr int kClientHeight = 509;

    explicit TMainForm(AppState& state, QWidget* parent = nullptr);
    ~TMainForm() override;

    AppState& state() const { return state_; }

    // ---- main menu -------------------------------------------------------------------------
    QMenu* FileMenu;                    // "文件操作(&F)"
    QAction* N1;                        // "备份数据"
    QAction* N2;                        // "恢复备份"
    QAction* N4;                        // "打开报表文件"
    QAction* N5;                        // "打印当前资产标签"
    QAction* N7;                        // "退出"
    QMenu* QueryMenu;                   // "综合查寻(&S)"
    QAction* N8;                        // "查寻" F2
    QAction* N9;                        // "显示打印全部 " F5
    QAction* N10;                       // "重做上次查寻" F3
    QAction* N12;                       // "维修记录查寻"
    QMenu* DataMenu;                    // "更改数据(&D)"
    QAction* Transfer1;                 // "调拨"
    QAction* ChangeHistory1 = nullptr;  // "变更记录", after "调拨"
    QAction* HistoryQuery1 = nullptr;   // "操作记录查询…", after "用户管理"
    QAction* Scrap1;                    // "报废"
    QAction* Modify1;                   // "修改"
    QAction* Delete1;                   // "删除"
    QAction* New1;                      // "新增"
    QAction* Add1;                      // "增加", hidden
    QAction* Save1;                     // "保存"
    QAction* Cancel1;                   // "放弃"
    QMenu* LendingMenu;                 // "出借情况(&L)"
    QAction* N13;                       // "显示全部借出资产"
    QAction* N14;                       // "显示到期借出资产"
    QAction* N15;                       // "当前资产借出归还记录"
    QMenu* SystemMenu;                  // "系统维护(&O)"
    QAction* N16;                       // "数据字典维护" F6
    QAction* N18;                       // "修改密码" F4
    QAction* N19;                       // "用户管理"
    QAction* N21;                       // "系统设置"
    QAction* N22;                       // "修改单位名称"
    QMenu* N23;                         // "显示参数"
    QAction* N24;                       // "多彩多姿"
    QAction* N25;                       // "蓝色魅力"
    QAction* N26;                       // "视窗本色"
    QMenu* HelpMenu;                    // "帮助(&H)"
    QAction* N27;                       // "帮助主题" F1
    QAction* N29;                       // "关于"

    // The stocktake (stocktakemenu.cpp).
    QMenu* StocktakeMenu;        // "资产盘点"
    QAction* NewStocktake1;      // "新建盘点…"
    QAction* ScanStocktake1;     // "盘点扫描…"
    QAction* StocktakeResults1;  // "盘点结果…"
    QAction* EndStocktake1;      // "结束盘点…"

    // "导入资产…" in "文件操作", for a user with the add right.
    QAction* ImportAssets1;

    // ---- tool bar ----------------------------------------------------------------------------
    QToolBar* ToolBar1;
    QToolButton* ToolButton1;   // "查寻"
    QToolButton* ToolButton2;   // "重查"
    QToolButton* ToolButton3;   // "全部 "
    QToolButton* ToolButton4;   // "已借出"
    QToolButton* ToolButton5;   // "已到期"
    QToolButton* ToolButton6;   // "调拨"
    QToolButton* ToolButton7;   // "报废"
    QToolButton* ToolButton8;   // "修改"
    QToolButton* ToolButton9;   // "删除"
    QToolButton* ToolButton10;  // "新增"
    QToolButton* ToolButton11;  // "保存"
    QToolButton* ToolButton12;  // "放弃"
    QToolButton* ToolButton13;  // "字典"
    QToolButton* ToolButton14;  // "密码"
    QToolButton* ToolButton15;  // "系统"
    QToolButton* ToolButton16;  // "帮助"

    // ---- the coloured panel and the card -----------------------------------------------------
    QFrame* Panel1;
    QLabel* Image1;           // banner
    QLabel* Label13;          // "序号"
    QSpinBox* SpinEdit1;      // serial number
    QLabel* Label14;          // "编号"
    QComboBox* ComboBox1;     // asset number
    CardGroupBox* GroupBox1;  // "固定资产", "固定资产第N号" + "（已报废）" in red
    QLabel* Label1;           // "资产类别："
    dictionary::TypeAheadBox* DBComboBox1;  // category
    QLabel* Label2;                         // "名  称："
    dictionary::TypeAheadBox* DBComboBox2;  // name
    QLabel* Label3;                         // "用  途："
    dictionary::TypeAheadBox* DBComboBox4;  // use
    QLabel* Label4;                         // "型  号："
    dictionary::TypeAheadBox* DBComboBox5;  // model
    QLabel* Label5;                         // "配  置："
    QLineEdit* DBEdit3;                     // configuration
    QLabel* Label6;                         // "购买日期："
    QDateEdit* DateTimePicker1;
    QLabel* Label7;                         // "位  置：" or "使用者："
    dictionary::TypeAheadBox* DBComboBox3;  // location or user
    QLabel* Label8;                         // "使用年限："
    dictionary::TypeAheadBox* DBComboBox6;  // service life
    QLabel* Label9;                         // "购买价格："
    QLineEdit* DBEdit1;                     // price
    QLabel* Label10;                        // "元"
    QLabel* Label11;                        // "（人民币）"
    QLabel* Label15;                        // "来源方式："
    dictionary::TypeAheadBox* DBComboBox7;  // source
    QLabel* Label16;                        // "保管人："
    dictionary::TypeAheadBox* DBComboBox8;  // custodian
    QLabel* Label12;                        // "备  注："
    QPlainTextEdit* DBMemo1;                // remarks
    QPushButton* BitBtn1;                   // lending: "未借出" / "已借出"
    QPushButton* BitBtn2;                   // "维修记录"
    QPushButton* BitBtn3;                   // "调拨记录"
    QPushButton* BitBtn9 = nullptr;         // "变更记录", below "调拨记录"

    // ---- status bar --------------------------------------------------------------------------
    QLabel* StatusPanel0;  // the "提示：" sentence of the operation in progress
    QLabel* StatusPanel1;  // "用户：" + user name

    static QString initialPrompt();

    // ---- start-up and shutdown (startup.cpp) -------------------------------------------------
    // Brings the window from construction to an empty card: start directory, user panel, the
    // database and data sets, version check, first use, lists, browse state, asset-number box,
    // settings and the history database. Returns false when the program must end (the reason has
    // been shown to the user).
    bool startUp();
    // The splash window shown since the login; the window closes and frees it when it is first
    // shown. The window takes ownership.
    void setSplash(QWidget* splash);
    QWidget* splash() const { return splash_; }
    // Ends the run: offers the exit dialog while the user has not switched it off, closes both
    // connections, gives up the presence on the databases and writes exitinfo and color for the
    // user. Returns false when the window is to stay open (the exit dialog was cancelled;
    // exitinfo and color are written all the same). Runs once; closing the window calls it.
    bool shutDown();

    // ---- commands (mainmenu.cpp) -------------------------------------------------------------
    // Gives a command its handler: the menu action and every tool-bar button of the same caption
    // run it, and from now on the state rules may enable it.
    void bindCommand(QAction* action, std::function<void()> handler);
    bool isBound(QAction* action) const { return handlers_.contains(action); }
    // Runs a bound command as a click would.
    void runCommand(QAction* action);
    // The tool-bar buttons that run a command (empty for a menu-only command).
    QList<QToolButton*> buttonsOf(QAction* action) const;
    // Enables a menu action, or a tool-bar button, when asked to and when it has a handler.
    void setCommandEnabled(QAction* action, bool on);
    void setButtonEnabled(QToolButton* button, bool on);

    // ---- state rules (cardstate.cpp) ---------------------------------------------------------
    // Browse state: queries, lists, files and maintenance reachable; the record commands narrowed
    // to the user's rights; "保存" and "放弃" off.
    void applyBrowseState();
    // Edit state: only "保存", "放弃" and the data menu stay reachable.
    void applyEditState();
    // "修改", "报废", "删除" and "调拨" (tool bar and menu) for a shown record or none.
    void enableRecordCommands(bool on);
    // The input styles of the card's lists: browsing makes all eight typing lists again and
    // puts the card's fields on display only (legible, but taking no input or focus);
    // otherwise the fields take input and lists become choose-only as the input mode and the
    // typing settings say.
    void ApplyInputMode(bool browsing);
    // Every field of the card on display only, or taking input again.
    void setCardDisplayOnly(bool on);
    // True while some field of the card takes input.
    bool cardTakesInput() const;
    // Refills the name and use lists for the card's category.
    void ReloadNameAndUseLists();
    // Refills the model and location-or-user lists for the card's name: the name's storage
    // mode sets the location caption and the custodian field, and while adding the next asset
    // number is proposed.
    void ReloadModelAndLocationLists();

    // ---- the dictionary fields (dictionaryfields.cpp) ----------------------------------------
    // Leaving a dictionary field while editing: the text is trimmed and checked against the
    // field's list under the dictionary policy (refused, asked about, added or let through).
    // Leaving the category then refills the name and use lists, leaving the name the model and
    // location lists, unless the value was refused or its addition declined and cleared.
    void DBComboBox1Exit();  // category
    void DBComboBox2Exit();  // name
    void DBComboBox4Exit();  // use
    void DBComboBox5Exit();  // model
    void DBComboBox3Exit();  // location or user
    void DBComboBox6Exit();  // service life
    // Leaving the configuration field trims it.
    void DBEdit3Exit();
    // The check of one field as leaving it runs it: true when the value stands (listed, kept,
    // added or empty), false when it was refused or cleared.
    bool checkDictionaryField(dictionary::CardField field, dictionary::TypeAheadBox* box);
    // What every change of a dictionary field's text must satisfy while editing: a name or use
    // needs a category, a model or location a name. A change that fails is told and cleared.
    // A model change looks its configuration up; a user becomes the custodian.
    bool fieldPrecondition(dictionary::TypeAheadBox* box);
    // Puts the dictionary's configuration of the card's name and model into the configuration
    // field, which stays open only while that is empty.
    void lookUpConfiguration();
    // Enter in a card field: the focus moves to the field filled in next.
    void moveOnFrom(QWidget* field);
    // The kind the location field checks as: a place, or a user when the name's assets are
    // held by a person.
    dictionary::CardField locationField() const;

    // ---- "数据字典维护" (dictionarycommand.cpp) ------------------------------------------------
    // Opens the maintenance window, then reads the dictionary again: tables, lists and the
    // card on screen, which a rename may have reached.
    void DictionaryClick();
    void rereadDictionary();

    // ---- showing records (recordview.cpp) ----------------------------------------------------
    // Shows the record with this serial number (Enter in the serial box), or empties the card
    // with "没有此序号的记录" when there is none.
    void showSerial(int serial);
    // The same without the not-found message: another operation shows a record again.
    void showSerialQuietly(int serial);
    // Enter in the asset-number box while browsing: the prefix shortcut when the list is
    // dropped down, else the record with that asset number.
    void showByAssetNumber();
    // The serial number of the record shown last, 0 when none.
    int shownSerial() const { return shownSerial_; }
    // The storage mode of the shown or edited asset: at a location (true) or held by a person.
    bool storedAtLocation() const { return storedAtLocation_; }
    // True when the shown asset has maintenance records.
    bool hasMaintenance() const { return hasMaintenance_; }

    // ---- the asset-number box (numberbox.cpp) ------------------------------------------------
    // True while the box's list is dropped down (narrowed while typing, or opened by the user).
    bool numberListDroppedDown() const;
    // Opens the box's whole list, as the arrow button does.
    void dropNumberListDown();
    // The list that drops down while typing narrows it.
    QAbstractItemView* numberListView() const;
    // Fills the box's list with every registered prefix.
    void reloadAssetNumberList();
    // Proposes the next number for a new asset from the name's prefix (while adding).
    void ProposeAssetNumber();
    // Reads the box; shows the parsing message and fails when it does not hold a number.
    std::optional<numbering::AssetNumber> parseAssetNumberBox();

    // ---- entry and edit operations (editoperations.cpp) --------------------------------------
    enum class EditMode { Browse, Modify, AddOne, AddBatch, Scrap, Delete };
    EditMode editMode() const { return mode_; }
    void New1Click();     // "新增": a batch of identical assets
    void Add1Click();     // "增加" (hidden): one asset
    void Modify1Click();  // "修改"
    void Scrap1Click();   // "报废"
    void Delete1Click();  // "删除"
    void Save1Click();    // "保存"
    void Cancel1Click();  // "放弃", also the end of every save
    // The card's maintenance button: "维修记录" lists the shown asset's records while browsing,
    // "填加维修记录" adds one while the asset is modified (maintenancemenu.cpp).
    void BitBtn2Click();
    // "调拨": the shown asset to another place or user (transfermenu.cpp).
    void Transfer1Click();
    // "调拨记录": the shown asset's transfer history.
    void BitBtn3Click();
    // The batch: how many it adds, and how many are still to add after an "终止".
    int batchTotal() const { return batchTotal_; }
    int batchLeft() const { return batchLeft_; }

    // ---- themes (themes.cpp) -----------------------------------------------------------------
    // Ticks the theme's menu item, gives the menu items their pictures and colours the panel.
    void applyTheme(Theme theme);

    // ---- layout (mainlayout.cpp) -------------------------------------------------------------
    // The window's outer width W the layout rules are written for.
    int outerWidth() const;
    // Places the card's controls for an outer width W.
    void applyLayoutRules(int outerWidth);
    // Maximises the window or returns it to its fixed design size.
    void setMaximised(bool on);

    // ---- system commands (systemcommands.cpp) ------------------------------------------------
    void ExitClick();                    // "退出"
    void SystemSettingsClick();          // "系统设置", tool bar "系统"
    void ChangeOrganisationNameClick();  // "修改单位名称"
    void HelpClick();                    // "帮助主题", F1, tool bar "帮助"
    void AboutClick();                   // "关于"
    // ---- lending (loanmenu.cpp) --------------------------------------------------------------
    void LoanButtonClick();  // the loan button: lend or take back the shown asset
    // ---- users, backup and restore (usermenu.cpp, backupmenu.cpp) ----------------------------
    void PasswordClick();        // "修改密码", F4, tool bar "密码"
    void UserManagementClick();  // "用户管理"
    void BackupClick();          // "备份数据"
    void RestoreClick();         // "恢复备份"
    // How backup and restore close and reopen the window's hold on a database around a copy:
    // the card row set and the dictionary tables go with the current database's connection and
    // come back on the same statements, so the card shown stays usable.
    backup::ConnectionHooks connectionHooks();
    // Ends the run after the current database could not be opened again following a copy.
    void endAfterLostDatabase();

    // The document "帮助主题" opens: qslhelp.chm in the start directory when it is there, else
    // the contents of the HTML manual installed with the program (help.h); empty when neither
    // exists.
    QString helpDocumentPath() const;

    // The shared state of the query windows (the last asset query, the asset picked last).
    query::QueryState& queryState() { return queryState_; }

    // ---- data sets ---------------------------------------------------------------------------
    db::RowSet* cardRows() const { return card_.get(); }
    db::RowSet* userNameRows() const { return username_.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Widget construction (mainform.cpp).
    void buildPanel();
    void buildCard();
    void buildStatusBar();
    // Menu and tool bar (mainmenu.cpp).
    void buildMenu();
    void buildToolBar();
    QAction* addCommand(QMenu* menu, const char* name, const QString& caption,
                        const QKeySequence& shortcut = QKeySequence());
    QToolButton* addToolButton(const char* name, const QString& caption, const QIcon& icon,
                               QAction* command);
    void bindSystemCommands();
    void bindUserCommands();
    void bindBackupCommands();
    // "查寻", "显示打印全部 " and "重做上次查寻" (querymenu.cpp).
    void bindQueryCommands();
    // The card's maintenance button and "维修记录查寻" (maintenancemenu.cpp).
    void bindMaintenanceCommands();
    // "调拨", "调拨记录" and the results window's "批量调拨" (transfermenu.cpp).
    void bindTransferCommands();
    // The "资产盘点" menu, and when it is offered (stocktakemenu.cpp).
    void buildStocktakeMenu();
    void bindStocktakeCommands();
    void applyStocktakeState(bool browsing);
    // The change history (historymenu.cpp): the card's "变更记录" and "操作记录查询…".
    void bindHistoryCommands();
    void ChangeHistory1Click();
    static QAction* nextAction(QMenu* menu, QAction* after);
    // Shows the asset a results window picked, as if its number had been typed into the serial
    // box and Enter pressed, without the not-found message of a typed number.
    void showPickedAsset(int serial);
    // The loan button and the lending menu (loanmenu.cpp).
    void bindLoanCommands();
    // "打印…" of the results window and "打印当前资产标签" (printmenu.cpp).
    void bindPrintCommands();
    void printCardLabel();
    // "导入资产…": the import window, then the card reads the dictionary again (importmenu.cpp).
    void bindImportCommand();
    void ImportClick();

    // Start-up steps (startup.cpp).
    void rememberStartDir();
    void showUser();
    // The card row set opens on cardSql: an empty card at start-up, the shown record when the
    // data sets come back after a copy.
    void openDataSets(const QString& cardSql = QStringLiteral("select * from sbjl where 1=2"));
    bool checkDatabaseVersion();
    void handleFirstUse();
    void setUpDatePicker();
    void fillCardLists();
    void fillAssetNumberList();
    void loadSettings();
    void openHistoryDatabase();
    void closeDataSets();

    // The eight lists of the card, in tab order.
    QList<dictionary::TypeAheadBox*> cardLists() const;
    // Every field of the card, lists included, and the date picker.
    QList<QWidget*> cardFields() const;
    // Keys of the serial box and the card's Enter moves.
    bool filterSerialKey(QKeyEvent* event);
    bool filterCardEnter(QObject* watched, QKeyEvent* event);
    // Dictionary fields (dictionaryfields.cpp).
    void setUpDictionaryFields();
    bool filterListKey(dictionary::TypeAheadBox* box, QKeyEvent* event);
    bool filterTextField(QObject* watched, QEvent* event);
    bool addUnlisted(dictionary::CardField field, dictionary::TypeAheadBox* box,
                     const QString& text);
    void clearField(dictionary::TypeAheadBox* box, bool withList);
    void bindDictionaryCommand();

    // Showing records (recordview.cpp).
    void showSerial(int serial, bool quiet);
    void fillCardFromRow();

    // The asset-number box (numberbox.cpp).
    void setUpNumberBox();
    bool filterNumberBox(QObject* watched, QEvent* event);
    bool numberKeyPressed(QKeyEvent* event);
    // The dash typed after these letters: true when it filled in a registered prefix's last
    // number (the key is used up), false when it goes in as typed.
    bool numberDashTyped(const QString& letters);
    void numberTextChanged();
    void numberBoxEntered();
    void numberBoxLeft();
    void prefixShortcut(const QString& chosen);
    void closeNumberList();
    void setNumberListEntries(const QStringList& entries);
    void setNumberText(const QString& text, bool selectDigits);
    QStringList numberListEntries() const;

    // Entry and edit operations (editoperations.cpp).
    void bindEditCommands();
    void startAdding(EditMode mode, int count);
    bool rereadRecord();
    bool checkPrice();
    bool checkRequiredFields();
    void writeCardToRecord(bool adding);
    void setRecordFieldsEnabled(bool on);
    void finishSave(const QString& message, bool prefixRowsChanged);
    void saveScrap();
    void saveDelete();

    // Storing records under their numbers (assetstore.cpp). Each returns true when the record
    // or batch is stored and the save may finish; false when the edit operation stays open.
    bool storeNewRecord(bool& prefixRowsChanged);
    bool storeBatch(bool& prefixRowsChanged);
    bool storeModifiedRecord(bool& prefixRowsChanged);
    // The change history of a save (cardhistory.cpp): the card record's values in field
    // order, its asset number, and the history commit after the register's, which tells the
    // user when the change could not be recorded.
    QList<QVariant> cardValues() const;
    QString cardNumber() const;
    void finishRecording(history::ChangeRecorder& recorder);
    // Records a restore ("恢复备份") with its note, telling the user when it cannot.
    void recordRestore(const QString& note);
    void restoreUnpostedRecord();
    void showDbError(const QString& message);

    AppState& state_;
    // What the query windows share for the whole run: the last asset query, its order, the
    // asset picked last and the row to reopen at.
    query::QueryState queryState_;
    std::unique_ptr<db::RowSet> card_;
    std::unique_ptr<db::RowSet> syq_;
    std::unique_ptr<db::RowSet> sortproc_;
    std::unique_ptr<db::RowSet> wzb_;
    std::unique_ptr<db::RowSet> person_;
    std::unique_ptr<db::RowSet> username_;
    std::unique_ptr<db::RowSet> sortb_;

    QActionGroup* themeGroup_ = nullptr;
    QHash<QAction*, std::function<void()>> handlers_;
    QHash<QToolButton*, QAction*> buttonCommand_;
    QPointer<QWidget> splash_;
    bool shownOnce_ = false;
    bool shutDownDone_ = false;
    // This window holds the program's presence on the databases (from start-up to shutdown).
    bool presenceHeld_ = false;
    // A restore of the current database, or a current database lost after a copy, ends the run:
    // the window closes without the exit dialog.
    bool endWithoutExitDialog_ = false;
    // The current database could not be opened again after a backup or restore: the window has
    // nothing to work on and closes.
    bool currentLost_ = false;

    // The card's window state.
    int currentSerial_ = 0;  // the serial last entered: the card row set's key
    int shownSerial_ = 0;    // the serial of the record last shown successfully
    int savedSerial_ = 0;    // the serial to show again when an edit operation ends
    bool storedAtLocation_ = true;
    bool hasMaintenance_ = false;

    // The edit operation in progress.
    EditMode mode_ = EditMode::Browse;
    int batchTotal_ = 0;
    int batchLeft_ = 0;
    qint64 batchFirstSerial_ = 0;      // the first asset the batch stored, across "终止"
    numbering::AssetNumber previous_;  // the number a modified or deleted record had

    // The dictionary fields: what the one being edited shares with the others, and whether the
    // program is putting texts on the card (no precondition applies to those).
    dictionary::TypeAheadState typeAhead_;
    bool programChange_ = false;

    // The asset-number box: its whole list while it has the focus, and the typed-key flag.
    QCompleter* numberCompleter_ = nullptr;
    QStringList numberFullList_;
    bool numberListSaved_ = false;
    bool numberTyped_ = false;
};

}  // namespace fx
