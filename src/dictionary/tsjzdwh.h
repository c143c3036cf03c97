#pragma once

#include <QDialog>

#include "dictionaryedits.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace fx {
class AppState;
}

namespace fx::dictionary {

class PrefixEdit;

// The dictionary maintenance window ("数据字典维护 "): the whole dictionary as one tree, with the
// selected item's attributes on the right. "修改", "增加" and "删除" start an edit, "保存" carries
// it out in one transaction (a rename reaches every asset and dependent dictionary row that
// holds the old text), "放弃" abandons it. Fixed nodes (bracketed texts) and the person "未分配"
// cannot be changed.
class Tsjzdwh : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "dictionary.html")

public:
    enum class Mode { None, Modify, Add, Delete };

    // Builds the window and its tree from the state's current connection (throws db::DbError).
    explicit Tsjzdwh(AppState& state, QWidget* parent = nullptr);
    ~Tsjzdwh() override;

    // The window's own colour (red 225, green 206, blue 255), kept under the colourful theme.
    static QColor ownColour();

    // Reads the dictionary into the tree again and takes the colour of the current theme: run
    // each time the window opens, so that items added from the card show.
    void reload();

    Mode mode() const { return mode_; }
    // True once a save has changed the database since the last reload.
    bool changed() const { return changed_; }

    // The node reached from the root by child texts ({"[资产类别]", "电脑", "[名称]"}); null when
    // there is none.
    QTreeWidgetItem* node(const QStringList& path) const;
    // Selects a node, as a click on it does.
    void selectNode(QTreeWidgetItem* node);
    QTreeWidgetItem* currentNode() const;

    QTreeWidget* TreeView1;
    QGroupBox* GroupBox1;  // "节点属性"
    QLabel* Label1;        // the parent's text
    QLineEdit* Edit1;      // the item's text
    QLabel* Label2;        // the attribute caption
    QComboBox* ComboBox1;  // storage mode, department status or department
    QLineEdit* Edit2;      // a model's configuration
    QSpinBox* CSpinEdit1;  // residual rate or months
    QLabel* Label3;        // the spin edit's unit
    QLabel* Label4;        // "新增资产缺省编号头："
    PrefixEdit* Edit3;     // the default number prefix
    QPushButton* BitBtn1;  // "修改"
    QPushButton* BitBtn2;  // "增加"
    QPushButton* BitBtn3;  // "删除"
    QPushButton* BitBtn4;  // "保存"
    QPushButton* BitBtn5;  // "放弃"
    QPushButton* BitBtn6;  // "退出"
    QLabel* Label5;        // the note shown while modifying
    QLabel* Label6;        // the hint line
    QLabel* Image1;        // the icon of the selected node's kind

    void BitBtn1Click();  // modify
    void BitBtn2Click();  // add
    void BitBtn3Click();  // delete
    void BitBtn4Click();  // save
    void BitBtn5Click();  // cancel
    void BitBtn6Click();  // close

    // Escape closes only when no edit is open, like "退出"; the window has no close box.
    void reject() override;

private:
    void buildTree();
    void nodeSelected(QTreeWidgetItem* node);
    void showNode(QTreeWidgetItem* node);
    void showAttributes(ItemKind kind, const Attributes& a);
    void setEditing(bool editing);
    // Leaves the edit without saving: the node made for an addition goes, the panel shows the
    // selected node again.
    void endEdit();
    ItemKind kindOf(const QTreeWidgetItem* node) const;
    ItemRef refOf(const QTreeWidgetItem* node) const;
    Attributes panelAttributes(ItemKind kind, int listIndex) const;
    void save();

    AppState& state_;
    Mode mode_ = Mode::None;
    bool changed_ = false;
    bool selecting_ = false;
    QTreeWidgetItem* placeholder_ = nullptr;  // the empty child made for an addition
    QString rememberedText_;
    int rememberedIndex_ = -1;
};

}  // namespace fx::dictionary
