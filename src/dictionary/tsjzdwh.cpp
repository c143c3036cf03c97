#include "tsjzdwh.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "appstate.h"
#include "changerecorder.h"
#include "connection.h"
#include "dberror.h"
#include "prefixedit.h"
#include "prompt.h"
#include "quote.h"
#include "recordingprompt.h"
#include "rowset.h"
#include "theme.h"

namespace fx::dictionary {

namespace {

const QString kByPlace = QStringLiteral("按存放地点");
const QString kByUser = QStringLiteral("按使用者");
const QString kIsDepartment = QStringLiteral("是部门名称");
const QString kNotDepartment = QStringLiteral("不是部门名称");

QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text) {
    return new QTreeWidgetItem(parent, QStringList{text});
}

// Every row's value of one column, in the order the statement returns them.
QStringList column(db::Connection& c, const QString& sql, const QString& field) {
    db::RowSet rows(c, sql);
    rows.open();
    QStringList values;
    values.reserve(rows.count());
    for (; !rows.eof(); rows.next()) values << rows.text(field);
    return values;
}

}  // namespace

Tsjzdwh::Tsjzdwh(AppState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), state_(state) {
    setObjectName(QStringLiteral("Tsjzdwh"));
    setWindowTitle(QStringLiteral("数据字典维护 "));

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setMinimumSize(260, 380);
    // Rows of one height: the tree lays out thousands of items without measuring each.
    TreeView1->setUniformRowHeights(true);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* now) { nodeSelected(now); });

    GroupBox1 = new QGroupBox(QStringLiteral("节点属性"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    const auto label = [this](const char* name) {
        auto* l = new QLabel(GroupBox1);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    Label1 = label("Label1");
    Label2 = label("Label2");
    Label3 = label("Label3");
    Label4 = label("Label4");
    Label4->setText(QStringLiteral("新增资产缺省编号头："));
    Image1 = label("Image1");
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(50);
    Edit2 = new QLineEdit(GroupBox1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setMaxLength(100);
    // Texts go into statements between quotes: an apostrophe is not taken.
    for (QLineEdit* e : {Edit1, Edit2}) {
        e->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^']*")), e));
        connect(e, &QLineEdit::editingFinished, e, [e] { e->setText(e->text().trimmed()); });
    }
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    CSpinEdit1 = new QSpinBox(GroupBox1);
    CSpinEdit1->setObjectName(QStringLiteral("CSpinEdit1"));
    Edit3 = new PrefixEdit(GroupBox1);
    Edit3->setObjectName(QStringLiteral("Edit3"));

    auto* attributes = new QGridLayout(GroupBox1);
    attributes->addWidget(Image1, 0, 0);
    attributes->addWidget(Label1, 0, 1, 1, 2);
    attributes->addWidget(Edit1, 1, 1, 1, 2);
    attributes->addWidget(Label2, 2, 1, 1, 2);
    attributes->addWidget(ComboBox1, 3, 1, 1, 2);
    attributes->addWidget(Edit2, 4, 1, 1, 2);
    auto* spinRow = new QHBoxLayout;
    spinRow->addWidget(CSpinEdit1);
    spinRow->addWidget(Label3);
    spinRow->addStretch();
    attributes->addLayout(spinRow, 5, 1, 1, 2);
    attributes->addWidget(Label4, 6, 1);
    attributes->addWidget(Edit3, 6, 2);
    attributes->setRowStretch(7, 1);

    const auto button = [this](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    BitBtn1 = button("修改", "BitBtn1");
    BitBtn2 = button("增加", "BitBtn2");
    BitBtn3 = button("删除", "BitBtn3");
    BitBtn4 = button("保存", "BitBtn4");
    BitBtn5 = button("放弃", "BitBtn5");
    BitBtn6 = button("退出", "BitBtn6");
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { BitBtn6Click(); });

    Label5 = new QLabel(
        QStringLiteral(
            "注意：除配置项和缺省编号头外，修改数据字典时，均对存在的相关资产记录做相应修改。"),
        this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setWordWrap(true);
    QFont bold = Label5->font();
    bold.setBold(true);
    Label5->setFont(bold);
    Label6 = new QLabel(this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setWordWrap(true);
    // The longest hint takes two lines at the window's width.
    Label6->setMinimumHeight(2 * Label6->fontMetrics().lineSpacing() + 4);

    auto* buttons = new QGridLayout;
    QPushButton* order[] = {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5, BitBtn6};
    for (int i = 0; i < 6; ++i) buttons->addWidget(order[i], i / 3, i % 3);
    auto* right = new QVBoxLayout;
    right->addWidget(GroupBox1, 1);
    right->addWidget(Label5);
    right->addLayout(buttons);
    auto* top = new QHBoxLayout;
    top->addWidget(TreeView1, 1);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(Label6);

    reload();
}

Tsjzdwh::~Tsjzdwh() = default;

QColor Tsjzdwh::ownColour() {
    return QColor(225, 206, 255);
}

void Tsjzdwh::reload() {
    // Each opening takes the dialog colour of the theme then in force.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ownColour());
    setPalette(pal);
    setAutoFillBackground(true);
    applyDialogTheme(this, state_.theme);

    mode_ = Mode::None;
    placeholder_ = nullptr;
    changed_ = false;
    buildTree();
}

void Tsjzdwh::buildTree() {
    db::Connection& c = *state_.current;
    selecting_ = true;
    TreeView1->clear();
    auto* root = new QTreeWidgetItem(TreeView1, QStringList{kRootNode});
    QTreeWidgetItem* categories = addNode(root, kCategoriesNode);
    QTreeWidgetItem* storage = addNode(root, kStorageNode);
    QTreeWidgetItem* locations = addNode(storage, kLocationsNode);
    QTreeWidgetItem* users = addNode(storage, kUsersNode);
    QTreeWidgetItem* lives = addNode(root, kLivesNode);
    QTreeWidgetItem* sources = addNode(root, kSourcesNode);

    for (const QString& life : column(c, QStringLiteral("select * from syq"), QStringLiteral("qx")))
        addNode(lives, life);
    for (const QString& source :
         column(c, QStringLiteral("select * from lyfs"), QStringLiteral("ly")))
        addNode(sources, source);
    for (const QString& category :
         column(c, QStringLiteral("select * from sortproc"), QStringLiteral("sort"))) {
        QTreeWidgetItem* node = addNode(categories, category);
        QTreeWidgetItem* names = addNode(node, kNamesNode);
        QTreeWidgetItem* uses = addNode(node, kUsesNode);
        const QString quoted = db::escaped(category);
        for (const QString& name : column(
                 c,
                 QStringLiteral("select * from sortb where sort='") + quoted + QStringLiteral("'"),
                 QStringLiteral("name"))) {
            QTreeWidgetItem* models = addNode(addNode(names, name), kModelsNode);
            for (const QString& model :
                 column(c,
                        QStringLiteral("select sbxh from xhpz where sbmc='") + db::escaped(name) +
                            QStringLiteral("'"),
                        QStringLiteral("sbxh")))
                addNode(models, model);
        }
        for (const QString& use : column(
                 c, QStringLiteral("select * from ytb where sort='") + quoted + QStringLiteral("'"),
                 QStringLiteral("yt")))
            addNode(uses, use);
    }
    for (const QString& place :
         column(c, QStringLiteral("select * from wzb"), QStringLiteral("wz")))
        addNode(locations, place);
    for (const QString& person :
         column(c, QStringLiteral("select * from person"), QStringLiteral("pname")))
        addNode(users, person);

    root->setExpanded(true);
    categories->setExpanded(true);
    storage->setExpanded(true);
    selecting_ = false;
    TreeView1->setCurrentItem(root);
    showNode(root);
}

QTreeWidgetItem* Tsjzdwh::node(const QStringList& path) const {
    QTreeWidgetItem* at = TreeView1->topLevelItem(0);
    for (const QString& text : path) {
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; at && i < at->childCount() && !found; ++i) {
            if (at->child(i)->text(0) == text) found = at->child(i);
        }
        at = found;
    }
    return at;
}

void Tsjzdwh::selectNode(QTreeWidgetItem* node) {
    TreeView1->setCurrentItem(node);
}

QTreeWidgetItem* Tsjzdwh::currentNode() const {
    return TreeView1->currentItem();
}

ItemKind Tsjzdwh::kindOf(const QTreeWidgetItem* node) const {
    if (!node || (node != placeholder_ && isFixedNodeText(node->text(0)))) return ItemKind::None;
    return node->parent() ? kindOfChildren(node->parent()->text(0)) : ItemKind::None;
}

ItemRef Tsjzdwh::refOf(const QTreeWidgetItem* node) const {
    ItemRef ref;
    ref.kind = kindOf(node);
    ref.text = node ? node->text(0) : QString();
    const QTreeWidgetItem* grandparent =
        node && node->parent() ? node->parent()->parent() : nullptr;
    const QString above = grandparent ? grandparent->text(0) : QString();
    if (ref.kind == ItemKind::Name || ref.kind == ItemKind::Use) ref.category = above;
    if (ref.kind == ItemKind::Model) ref.name = above;
    return ref;
}

void Tsjzdwh::nodeSelected(QTreeWidgetItem* node) {
    if (selecting_ || !node) return;
    selecting_ = true;
    // Another node ends the edit without saving.
    if (mode_ != Mode::None) {
        mode_ = Mode::None;
        setEditing(false);
        if (placeholder_ && placeholder_ != node) {
            delete placeholder_;
            placeholder_ = nullptr;
        }
    }
    selecting_ = false;
    showNode(node);
}

void Tsjzdwh::showNode(QTreeWidgetItem* node) {
    // The panel as for a node without an edit.
    Label6->clear();
    Label5->setVisible(false);
    Edit1->clear();
    Edit2->clear();
    for (QLineEdit* e : {Edit1, Edit2, static_cast<QLineEdit*>(Edit3)}) e->setReadOnly(true);
    CSpinEdit1->setReadOnly(true);
    ComboBox1->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(Edit2),
                       static_cast<QWidget*>(CSpinEdit1), static_cast<QWidget*>(Label3),
                       static_cast<QWidget*>(Label4), static_cast<QWidget*>(Edit3)})
        w->setVisible(false);
    setEditing(false);
    if (!node) return;

    Label1->setText(node->parent() ? node->parent()->text(0) : QString());
    const bool fixed = node != placeholder_ && isFixedNodeText(node->text(0));
    Image1->setPixmap(
        style()->standardIcon(fixed ? QStyle::SP_DirIcon : QStyle::SP_FileIcon).pixmap(16, 16));
    if (fixed) {
        Label2->setText(node->text(0) + QStringLiteral("为系统固有节点"));
        Label2->setVisible(true);
        Edit1->setVisible(false);
        BitBtn1->setEnabled(false);
        BitBtn3->setEnabled(false);
        return;
    }
    Edit1->setVisible(true);
    Edit1->setText(node->text(0));
    const ItemRef ref = refOf(node);
    Attributes a;
    try {
        a = loadAttributes(*state_.current, ref);
    } catch (const db::DbError& e) {
        ui::warn(this, e.message());
    }
    showAttributes(ref.kind, a);
}

void Tsjzdwh::showAttributes(ItemKind kind, const Attributes& a) {
    const auto list = [this](const QStringList& items, int index) {
        ComboBox1->clear();
        ComboBox1->addItems(items);
        ComboBox1->setCurrentIndex(index);
        ComboBox1->setVisible(true);
    };
    const auto spin = [this](int low, int high, int value, const QString& unit) {
        CSpinEdit1->setRange(low, high);
        CSpinEdit1->setValue(value);
        CSpinEdit1->setVisible(true);
        Label3->setText(unit);
        Label3->setVisible(true);
    };
    const auto prefix = [this](const QString& text) {
        Edit3->setText(text);
        Label4->setVisible(true);
        Edit3->setVisible(true);
    };
    Label2->setVisible(true);
    switch (kind) {
        case ItemKind::Category:
            Label2->setText(QStringLiteral("该类别的预计净残值率为"));
            spin(0, 100, a.number, QStringLiteral("％"));
            prefix(a.prefix);
            break;
        case ItemKind::Name:
            Label2->setText(QStringLiteral("这种固定资产的存放方式为"));
            list({kByPlace, kByUser}, !a.found ? -1 : a.flag ? 0 : 1);
            prefix(a.prefix);
            break;
        case ItemKind::Model:
            Label2->setText(QStringLiteral("该型号的具体配置为"));
            Edit2->setText(a.configuration);
            Edit2->setVisible(true);
            break;
        case ItemKind::User: {
            Label2->setText(QStringLiteral("属于部门："));
            QStringList places;
            try {
                places = departments(*state_.current);
            } catch (const db::DbError& e) {
                ui::warn(this, e.message());
            }
            list(places, places.indexOf(a.department));
            break;
        }
        case ItemKind::Location:
            Label2->setText(QStringLiteral("位置属性："));
            list({kIsDepartment, kNotDepartment}, !a.found ? -1 : a.flag ? 0 : 1);
            break;
        case ItemKind::Life:
            Label2->setText(QStringLiteral("相当于："));
            spin(1, 1200, a.number, QStringLiteral("个月"));
            break;
        default:
            Label2->clear();
            Label2->setVisible(false);
            break;
    }
}

void Tsjzdwh::setEditing(bool editing) {
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3, BitBtn6}) b->setEnabled(!editing);
    BitBtn4->setEnabled(editing);
    BitBtn5->setEnabled(editing);
    for (QLineEdit* e : {Edit1, Edit2, static_cast<QLineEdit*>(Edit3)}) e->setReadOnly(!editing);
    CSpinEdit1->setReadOnly(!editing);
    ComboBox1->setEnabled(editing);
}

void Tsjzdwh::BitBtn1Click() {
    QTreeWidgetItem* node = currentNode();
    const ItemKind kind = kindOf(node);
    if (kind == ItemKind::None) return;
    mode_ = Mode::Modify;
    rememberedText_ = Edit1->text();
    rememberedIndex_ = ComboBox1->currentIndex();
    Label5->setVisible(true);
    setEditing(true);
    switch (kind) {
        case ItemKind::Category:
            Label6->setText(
                QStringLiteral("如果是低值易耗品，可填残值率为0％，进行按月摊销；如果不计折旧，"
                               "可填残值率为100％。"));
            break;
        case ItemKind::Life:
            Label6->setText(QStringLiteral("请注意月份数目要与实际的称呼相符，以保证折旧的计算。"));
            break;
        case ItemKind::Name:
            Label6->setText(QStringLiteral(
                "假设资产表中已存在该名称的资产,如果把存放方式由'按存放地点'改为'按使用者'，"
                "则位置（使用者）栏内容将改为‘未分配’；如果由'按使用者'改为'按存放地点'，"
                "则位置（使用者）栏内容不变，还需个别修改每个资产记录。"));
            break;
        default:
            break;
    }
}

void Tsjzdwh::BitBtn2Click() {
    QTreeWidgetItem* node = currentNode();
    if (!node) return;
    // On a fixed node the addition goes among its children: the first child stands for them,
    // or an empty child when it has none yet.
    while (isFixedNodeText(node->text(0)) && node != placeholder_) {
        if (node->childCount() == 0) {
            placeholder_ = addNode(node, QString());
            node->setExpanded(true);
            node = placeholder_;
            break;
        }
        node = node->child(0);
    }
    if (node != currentNode()) selectNode(node);
    const ItemRef ref = refOf(node);
    if (ref.kind == ItemKind::None) return;
    mode_ = Mode::Add;
    rememberedText_ = Edit1->text();
    rememberedIndex_ = ComboBox1->currentIndex();
    setEditing(true);
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    CSpinEdit1->setValue(CSpinEdit1->minimum());
    if (ref.kind == ItemKind::Name) {
        try {
            Edit3->setText(categoryPrefix(*state_.current, ref.category));
        } catch (const db::DbError& e) {
            ui::warn(this, e.message());
        }
    }
    Edit1->setFocus();
}

void Tsjzdwh::BitBtn3Click() {
    if (kindOf(currentNode()) == ItemKind::None) return;
    mode_ = Mode::Delete;
    setEditing(true);
}

Attributes Tsjzdwh::panelAttributes(ItemKind kind, int listIndex) const {
    Attributes a;
    a.number = CSpinEdit1->value();
    a.prefix = Edit3->text().toUpper();
    a.configuration = Edit2->text().trimmed();
    const QString chosen = listIndex >= 0 ? ComboBox1->itemText(listIndex) : QString();
    if (kind == ItemKind::Name) a.flag = chosen != kByUser;
    if (kind == ItemKind::Location) a.flag = chosen != kNotDepartment;
    if (kind == ItemKind::User) a.department = chosen;
    return a;
}

void Tsjzdwh::BitBtn4Click() {
    if (mode_ == Mode::None) return;
    try {
        save();
    } catch (const db::DbError& e) {
        // The whole save was rolled back; the edit stays open.
        ui::warn(this, e.message());
    }
}

void Tsjzdwh::save() {
    QTreeWidgetItem* node = currentNode();
    const ItemRef ref = refOf(node);
    if (ref.kind == ItemKind::None) return;
    db::Connection& c = *state_.current;
    Edit1->setText(Edit1->text().trimmed());
    const QString text = Edit1->text();
    const Attributes now = panelAttributes(ref.kind, ComboBox1->currentIndex());

    // Renames and deletions go into the change history; additions change no asset.
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    const bool recorded = mode_ == Mode::Modify || mode_ == Mode::Delete;
    if (recorded) recorder.begin();
    Refusal refusal;
    if (mode_ == Mode::Modify) {
        refusal =
            modifyItem(c, ref, text, now, panelAttributes(ref.kind, rememberedIndex_), &recorder);
    } else if (mode_ == Mode::Add) {
        QStringList siblings;
        QTreeWidgetItem* parent = node->parent();
        for (int i = 0; i < parent->childCount(); ++i) {
            if (parent->child(i) != placeholder_) siblings << parent->child(i)->text(0);
        }
        refusal = addItem(c, ref, text, now, siblings);
    } else if (mode_ == Mode::Delete) {
        refusal = deleteItem(c, ref);
    }
    if (refusal.refused()) {
        recorder.rollback();
        ui::prompt(this, {QStringLiteral("提示"), refusal.text,
                          refusal.warning ? ui::Icon::Warning : ui::Icon::Information});
        return;
    }
    changed_ = true;
    // A deletion changes no asset: its one row follows the dictionary's committed change.
    if (mode_ == Mode::Delete)
        ui::recordAfterChange(this, recorder, QString::fromUtf8(history::op::kDeleteEntry),
                              itemCaption(ref.kind) + QStringLiteral("：") + ref.text);
    else if (recorded)
        ui::finishRecording(this, recorder);

    QTreeWidgetItem* selectAfter = node;
    selecting_ = true;
    if (mode_ == Mode::Modify) {
        node->setText(0, text);
    } else if (mode_ == Mode::Add) {
        QTreeWidgetItem* added = placeholder_ ? placeholder_ : addNode(node->parent(), text);
        added->setText(0, text);
        placeholder_ = nullptr;
        if (ref.kind == ItemKind::Category) {
            addNode(added, kNamesNode);
            addNode(added, kUsesNode);
        } else if (ref.kind == ItemKind::Name) {
            addNode(added, kModelsNode);
        }
        selectAfter = added;
    } else {
        selectAfter = node->parent();
        delete node;
    }
    mode_ = Mode::None;
    TreeView1->setCurrentItem(selectAfter);
    selecting_ = false;
    showNode(selectAfter);
}

void Tsjzdwh::endEdit() {
    mode_ = Mode::None;
    QTreeWidgetItem* node = currentNode();
    if (placeholder_) {
        QTreeWidgetItem* parent = placeholder_->parent();
        selecting_ = true;
        delete placeholder_;
        placeholder_ = nullptr;
        TreeView1->setCurrentItem(parent);
        selecting_ = false;
        node = parent;
    }
    // The panel shows the node as stored: an unsaved rename is undone.
    showNode(node);
}

void Tsjzdwh::BitBtn5Click() {
    endEdit();
}

void Tsjzdwh::BitBtn6Click() {
    if (mode_ != Mode::None) return;
    accept();
}

void Tsjzdwh::reject() {
    if (mode_ != Mode::None) return;
    QDialog::reject();
}

}  // namespace fx::dictionary
