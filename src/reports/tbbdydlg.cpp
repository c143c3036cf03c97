#include "tbbdydlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "formatfile.h"
#include "layout.h"
#include "modal.h"
#include "prompt.h"
#include "radiogroup.h"
#include "reportpreview.h"
#include "rowsource.h"
#include "schema.h"
#include "theme.h"

namespace fx::reports {

namespace {

// The check boxes of the custom page in the order of columnChoices(): their names and texts.
struct BoxInfo {
    int number;
    const char* text;
};
constexpr std::array<BoxInfo, 16> kBoxes = {{{1, "序　号"},
                                             {18, "编　号"},
                                             {2, "名  称"},
                                             {3, "资产类别"},
                                             {4, "型  号"},
                                             {6, "位  置"},
                                             {5, "用  途"},
                                             {19, "保管人"},
                                             {9, "使用年限"},
                                             {7, "购买日期"},
                                             {8, "购买价格"},
                                             {10, "配  置"},
                                             {11, "备  注"},
                                             {12, "累计折旧"},
                                             {13, "净  值"},
                                             {20, "来  源"}}};

const QStringList kPapers = {QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("A5"),
                             QStringLiteral("B4"), QStringLiteral("B5"), QStringLiteral("自定义")};

QString organisationOf(AppState& state) {
    if (!state.current) return {};
    try {
        return schema::organisationName(*state.current);
    } catch (const db::DbError&) {
        return {};
    }
}

QRadioButton* radio(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QRadioButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QCheckBox* check(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QCheckBox(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLabel* note(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

}  // namespace

TbbdyDlg::TbbdyDlg(AppState& state, const report::DataSource& rows, const QString& baseQuery,
                   QWidget* parent)
    : QDialog(parent), state_(state), rows_(rows), baseQuery_(baseQuery) {
    setObjectName(QStringLiteral("TbbdyDlg"));
    setWindowTitle(QStringLiteral("报表打印"));
    organisation_ = organisationOf(state);

    auto* layout = new QVBoxLayout(this);
    auto* titleRow = new QHBoxLayout;
    titleCaption_ = new QLabel(QStringLiteral("报表标题:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(38);
    titleRow->addWidget(titleCaption_);
    titleRow->addWidget(Edit1, 1);
    layout->addLayout(titleRow);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1, 1);
    buildStandardPage();
    buildCustomPage();
    buildSummaryPage();
    buildLabelPage();

    auto* buttons = new QHBoxLayout;
    BitBtnLoad = button("BitBtnLoad", QStringLiteral("取格式"), this);
    BitBtnSave = button("BitBtnSave", QStringLiteral("保存格式"), this);
    BitBtnPreview = button("BitBtnPreview", QStringLiteral("预览"), this);
    BitBtnPrint = button("BitBtnPrint", QStringLiteral("打印"), this);
    BitBtnExit = button("BitBtnExit", QStringLiteral("退出"), this);
    for (QPushButton* b : {BitBtnLoad, BitBtnSave, BitBtnPreview, BitBtnPrint, BitBtnExit})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    BitBtnLoad->setEnabled(false);
    BitBtnSave->setEnabled(false);

    connect(BitBtnLoad, &QPushButton::clicked, this, &TbbdyDlg::loadFormatClick);
    connect(BitBtnSave, &QPushButton::clicked, this, &TbbdyDlg::saveFormatClick);
    connect(BitBtnPreview, &QPushButton::clicked, this, &TbbdyDlg::previewClick);
    connect(BitBtnPrint, &QPushButton::clicked, this, &TbbdyDlg::printClick);
    connect(BitBtnExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TbbdyDlg::pageChanged);

    // Creating: A4 and portrait, the first standard format's title, the value controls of the
    // list reports as the user's depreciation setting says. The summary table's "显示价值分析"
    // stays: the summary prints values whatever that setting.
    ComboBox1->setCurrentIndex(0);
    ComboBox2->setCurrentIndex(0);
    Edit1->setText(organisation_ + standardFormatTitle(1));
    const bool values = state.settings.zjxs == 0;
    RadioButton3->setVisible(values);
    RadioButton8->setVisible(values);
    for (int i : {13, 14}) {  // 累计折旧, 净值
        columnBoxes[size_t(i)]->setVisible(values);
        widthEdits[size_t(i)]->setVisible(values);
    }
    applyDialogTheme(this, state.theme);
    resize(560, 440);
}

TbbdyDlg::~TbbdyDlg() = default;

void TbbdyDlg::buildStandardPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(note(QStringLiteral("本系统提供了三种标准的报表格式，如果用户对这些报表的内容组合"
                                     "不满意，或是某项的列宽不合适，用户可自定义报表的格式。"),
                      page));
    RadioButton1 = radio("RadioButton1", QStringLiteral("报表格式一（基本）"), page);
    RadioButton2 = radio("RadioButton2", QStringLiteral("报表格式二（配置）"), page);
    RadioButton3 = radio("RadioButton3", QStringLiteral("报表格式三（价值分析）"), page);
    RadioButton8 = radio("RadioButton8", QStringLiteral("报表格式四（价值汇总）"), page);
    RadioButton1->setChecked(true);
    for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3, RadioButton8}) {
        v->addWidget(b);
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on) standardFormatChosen();
        });
    }
    CheckBox16 = check("CheckBox16", QStringLiteral("编号作为唯一标识"), page);
    v->addWidget(CheckBox16);
    v->addStretch();
    PageControl1->addTab(page, QStringLiteral("  标准格式  "));
}

void TbbdyDlg::buildCustomPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(
        note(QStringLiteral("请选择要打印的内容，并根据预览的结果适当调整各项的宽度。(横向排"
                            "序与选择顺序有关,纵向排序同查询结果)"),
             page));
    auto* grid = new QGridLayout;
    const QList<ListColumn>& choices = columnChoices();
    for (int i = 0; i < 16; ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(kBoxes[size_t(i)].text), page);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(kBoxes[size_t(i)].number));
        auto* width = new QLineEdit(QString::number(choices[i].width), page);
        width->setObjectName(QStringLiteral("WidthEdit%1").arg(kBoxes[size_t(i)].number));
        width->setValidator(new QIntValidator(0, 600, width));
        width->setEnabled(false);
        width->setMaximumWidth(60);
        columnBoxes[size_t(i)] = box;
        widthEdits[size_t(i)] = width;
        const int row = i % 8;
        const int column = i < 8 ? 0 : 2;
        grid->addWidget(box, row, column);
        grid->addWidget(width, row, column + 1);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) { columnToggled(i, on); });
        connect(width, &QLineEdit::textChanged, this, [this, i] { widthEdited(i); });
    }
    v->addLayout(grid);
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(new QLabel(QStringLiteral("纸张"), page));
    ComboBox1 = new QComboBox(page);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(kPapers);
    ComboBox2 = new QComboBox(page);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems({QStringLiteral("纵向"), QStringLiteral("横向")});
    paperRow->addWidget(ComboBox1);
    paperRow->addWidget(ComboBox2);
    paperRow->addStretch();
    v->addLayout(paperRow);
    PageControl1->addTab(page, QStringLiteral(" 自定义格式 "));
}

void TbbdyDlg::buildSummaryPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    RadioGroup1 = new ui::RadioGroup(
        QStringLiteral("固定资产划分级别"),
        {QStringLiteral("按资产类别"), QStringLiteral("按名称"), QStringLiteral("按型号")}, page);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup2 =
        new ui::RadioGroup(QStringLiteral("存放方式划分级别"),
                           {QStringLiteral("按部门"), QStringLiteral("按位置及个人")}, page);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup3 =
        new ui::RadioGroup(QStringLiteral("主索引"),
                           {QStringLiteral("为固定资产"), QStringLiteral("为存放方式")}, page);
    RadioGroup3->setObjectName(QStringLiteral("RadioGroup3"));
    for (ui::RadioGroup* g : {RadioGroup1, RadioGroup2, RadioGroup3}) {
        g->setItemIndex(0);
        v->addWidget(g);
    }
    CheckBox14 = check("CheckBox14", QStringLiteral("显示明细"), page);
    CheckBox15 = check("CheckBox15", QStringLiteral("显示价值分析"), page);
    v->addWidget(CheckBox14);
    v->addWidget(CheckBox15);
    v->addStretch();
    PageControl1->addTab(page, QStringLiteral("   汇总表   "));
}

void TbbdyDlg::buildLabelPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(note(
        QStringLiteral("此功能用于打印粘贴于固定资产上面的标签，有以下几种格式供您选择。"), page));
    RadioButton4 = radio("RadioButton4", QStringLiteral("标签格式一（25mm*40mm）"), page);
    RadioButton5 = radio("RadioButton5", QStringLiteral("标签格式二（40mm*50mm）"), page);
    RadioButton6 = radio("RadioButton6", QStringLiteral("标签格式三（54mm*85mm）"), page);
    RadioButton7 = radio("RadioButton7", QStringLiteral("标签格式四（25mm*40mm）（特）"), page);
    RadioButton4->setChecked(true);
    for (QRadioButton* b : {RadioButton4, RadioButton5, RadioButton6, RadioButton7}) {
        v->addWidget(b);
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on) labelFormatChosen();
        });
    }
    CheckBox17 = check("CheckBox17", QStringLiteral("编号作为唯一标识"), page);
    CheckBox21 = check("CheckBox21", QStringLiteral("显示单位所有权"), page);
    // Format 4 and the asset number as identity exclude each other.
    connect(CheckBox17, &QCheckBox::toggled, this, [this](bool on) {
        if (on && RadioButton7->isChecked()) CheckBox17->setChecked(false);
    });
    buildCodeLabelControls(page, v);
    v->addWidget(CheckBox17);
    v->addWidget(CheckBox21);
    v->addStretch();
    PageControl1->addTab(page, QStringLiteral("固定资产标签"));
}

QCheckBox* TbbdyDlg::columnBox(const QString& caption) const {
    const ListColumn* choice = columnChoice(caption);
    return choice ? columnBoxes[size_t(choice - columnChoices().constData())] : nullptr;
}

QLineEdit* TbbdyDlg::widthEdit(const QString& caption) const {
    const ListColumn* choice = columnChoice(caption);
    return choice ? widthEdits[size_t(choice - columnChoices().constData())] : nullptr;
}

void TbbdyDlg::setGridWidths(const QHash<QString, int>& widths) {
    gridWidths_ = widths;
}

void TbbdyDlg::setLabelOnly(const QString& cardNumber) {
    cardNumber_ = cardNumber;
    setWindowTitle(QStringLiteral("当前固定资产标签打印"));
    for (int i = 0; i < PageControl1->count(); ++i) PageControl1->setTabText(i, QString());
    // The card's asset only: no place labels.
    RadioButton11->setEnabled(false);
    ComboBox3->setVisible(false);
    PageControl1->setCurrentIndex(LabelPage);
    pageChanged(LabelPage);
}

void TbbdyDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!changeGuard_) return;
    if (!cardNumber_) {
        // The columns the grid shows take the grid's widths (remarks and values keep theirs).
        const QList<ListColumn>& choices = columnChoices();
        for (int i = 0; i < 16; ++i) {
            const QString field = choices[i].field;
            if (field == QStringLiteral("other") || field == QStringLiteral("e1") ||
                field == QStringLiteral("e2"))
                continue;
            if (gridWidths_.contains(field))
                widthEdits[size_t(i)]->setText(QString::number(gridWidths_.value(field)));
        }
    } else {
        Edit1->setText(QStringLiteral("固定资产标签"));
    }
    changeGuard_ = false;
}

void TbbdyDlg::done(int result) {
    changeGuard_ = true;
    QDialog::done(result);
}

int TbbdyDlg::standardFormat() const {
    if (RadioButton2->isChecked()) return 2;
    if (RadioButton3->isChecked()) return 3;
    if (RadioButton8->isChecked()) return 4;
    return 1;
}

void TbbdyDlg::standardFormatChosen() {
    Edit1->setText(organisation_ + standardFormatTitle(standardFormat()));
}

void TbbdyDlg::labelFormatChosen() {
    if (RadioButton7->isChecked()) CheckBox17->setChecked(false);
}

void TbbdyDlg::pageChanged(int page) {
    if (cardNumber_) {
        if (page != LabelPage) PageControl1->setCurrentIndex(LabelPage);
        BitBtnLoad->setEnabled(false);
        BitBtnSave->setEnabled(false);
        Edit1->setText(QStringLiteral("固定资产标签"));
        Edit1->setVisible(false);
        titleCaption_->setVisible(false);
        for (QLineEdit* w : widthEdits) w->setVisible(false);
        return;
    }
    // Labels print no title: the label page hides the field and its caption.
    Edit1->setVisible(page != LabelPage);
    titleCaption_->setVisible(page != LabelPage);
    const bool custom = page == CustomPage;
    BitBtnLoad->setEnabled(custom);
    BitBtnSave->setEnabled(custom);
    switch (page) {
        case StandardPage:
            Edit1->setText(organisation_ + standardFormatTitle(standardFormat()));
            break;
        case CustomPage:
            Edit1->setText(organisation_ + QStringLiteral("固定资产报表（自定义一）"));
            break;
        case SummaryPage:
            Edit1->setText(organisation_ + QStringLiteral("固定资产汇总表"));
            break;
        default:
            Edit1->setText(QStringLiteral("固定资产标签"));
            break;
    }
}

void TbbdyDlg::columnToggled(int choice, bool ticked) {
    const ListColumn& c = columnChoices()[choice];
    widthEdits[size_t(choice)]->setEnabled(ticked);
    if (ticked) {
        captions_ << c.caption;
        fields_ << c.field;
        widths_ << widthEdits[size_t(choice)]->text();
        return;
    }
    const qsizetype at = captions_.indexOf(c.caption);
    if (at < 0) return;
    captions_.removeAt(at);
    fields_.removeAt(at);
    widths_.removeAt(at);
}

void TbbdyDlg::widthEdited(int choice) {
    const QString text = widthEdits[size_t(choice)]->text();
    if (changeGuard_ || text.isEmpty()) return;
    const qsizetype at = captions_.indexOf(columnChoices()[choice].caption);
    if (at >= 0) widths_[at] = text;
}

ListReportOptions TbbdyDlg::listOptions() const {
    ListReportOptions o;
    o.title = Edit1->text();
    o.showDepreciation = state_.settings.zjxs == 0;
    if (PageControl1->currentIndex() == CustomPage) {
        o.source = ListReportOptions::Source::Custom;
        for (qsizetype i = 0; i < captions_.size(); ++i)
            o.columns.append({captions_[i], fields_[i], widths_[i].toInt()});
        o.paper = paperOfIndex(ComboBox1->currentIndex());
        o.orientation = orientationOfIndex(ComboBox2->currentIndex());
    } else {
        o.standardFormat = standardFormat();
        o.numberAsIdentity = CheckBox16->isChecked();
    }
    return o;
}

SummaryOptions TbbdyDlg::summaryOptions() const {
    SummaryOptions o;
    o.asset = SummaryOptions::AssetLevel(qMax(0, RadioGroup1->itemIndex()));
    o.storage = SummaryOptions::StorageLevel(qMax(0, RadioGroup2->itemIndex()));
    o.storageOuter = RadioGroup3->itemIndex() == 1;
    o.details = CheckBox14->isChecked();
    o.values = CheckBox15->isChecked();
    return o;
}

LabelOptions TbbdyDlg::labelOptions() const {
    LabelOptions o;
    o.format = RadioButton5->isChecked()   ? 2
               : RadioButton6->isChecked() ? 3
               : RadioButton7->isChecked() ? 4
                                           : 1;
    o.numberAsIdentity = CheckBox17->isChecked();
    o.ownership = CheckBox21->isChecked();
    o.organisation = organisation_;
    o.cardNumber = cardNumber_;
    return o;
}

report::Report TbbdyDlg::reportForPage() const {
    switch (PageControl1->currentIndex()) {
        case SummaryPage:
            return summaryReport(summaryOptions(), Edit1->text());
        case LabelPage:
            if (codeLabelKind()) return codeLabelReport(codeLabelOptions());
            return labelReport(labelOptions());
        default:
            return listReport(listOptions());
    }
}

void TbbdyDlg::run(bool preview) {
    const report::RunOptions options{Clock::now()};
    const report::Report form = reportForPage();
    auto show = [&](const report::DataSource& data) {
        if (preview)
            report::previewReport(form, data, options, this);
        else
            report::printReport(form, data, options, this);
    };
    switch (PageControl1->currentIndex()) {
        case SummaryPage: {
            const std::optional<QString> query = summaryQuery(baseQuery_, summaryOptions());
            if (!query || !state_.current) {
                ui::warn(this, QStringLiteral("当前的查询结果不是资产查询，无法生成汇总表。"));
                return;
            }
            try {
                show(queryRows(*state_.current, *query));
            } catch (const db::DbError& e) {
                ui::warn(this, e.message());
            }
            return;
        }
        case LabelPage:
            if (codeLabelKind() == CodeLabel::Place)
                show(chosenPlaces());
            else if (codeLabelKind())
                show(rows_);
            else
                show(LabelRows(rows_));
            return;
        default:
            show(rows_);
            return;
    }
}

void TbbdyDlg::previewClick() {
    run(true);
}

void TbbdyDlg::printClick() {
    run(false);
}

void TbbdyDlg::saveFormatClick() {
    ReportFormat f;
    f.title = Edit1->text();
    for (qsizetype i = 0; i < captions_.size(); ++i)
        f.columns.append({captions_[i], fields_[i], widths_[i].toInt()});
    f.paperIndex = ComboBox1->currentIndex();
    f.orientationIndex = ComboBox2->currentIndex();
    const QByteArray bytes = formatFileBytes(f);
    ui::FileRequest request;
    request.save = true;
    request.directory = f.title + QStringLiteral("格式.rpt");
    request.filter = QStringLiteral("青石岭报表格式文件(*.rpt)");
    QString path = ui::chooseFile(this, request);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".rpt");
    if (QFileInfo::exists(path)) {
        ui::PromptRequest ask{QStringLiteral("提示"),
                              QStringLiteral("该文件已经存在，覆盖掉它吗？"), ui::Icon::Question,
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok};
        if (ui::prompt(this, ask) != QMessageBox::Ok) return;
        const QString kept = QFileInfo(path).path() + QLatin1Char('/') +
                             QFileInfo(path).completeBaseName() + QStringLiteral(".bak");
        if (!QFile::rename(path, kept)) {
            QFile::remove(kept);
            QFile::rename(path, kept);
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        ui::warn(this,
                 QStringLiteral("报表格式文件“%1”不能写入：%2").arg(path, file.errorString()));
        return;
    }
}

void TbbdyDlg::loadFormatClick() {
    ui::FileRequest request;
    request.filter = QStringLiteral("青石岭报表格式文件 (*.rpt)");
    const QString path = ui::chooseFile(this, request);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui::warn(this,
                 QStringLiteral("报表格式文件“%1”不能读取：%2").arg(path, file.errorString()));
        return;
    }
    QString error;
    const std::optional<ReportFormat> f = readFormatFile(file.readAll(), &error);
    if (!f) {
        ui::warn(this, error);
        return;
    }
    for (QCheckBox* box : columnBoxes) box->setChecked(false);
    captions_.clear();
    fields_.clear();
    widths_.clear();
    ComboBox1->setCurrentIndex(f->paperIndex);
    ComboBox2->setCurrentIndex(f->orientationIndex);
    PageControl1->setCurrentIndex(CustomPage);
    Edit1->setText(f->title);  // the loaded title stays
    for (const ListColumn& c : f->columns) {
        const ListColumn* choice = columnChoice(c.caption);
        if (!choice) continue;
        const int i = int(choice - columnChoices().constData());
        columnBoxes[size_t(i)]->setChecked(true);
        widthEdits[size_t(i)]->setText(QString::number(c.width));
    }
}

}  // namespace fx::reports
