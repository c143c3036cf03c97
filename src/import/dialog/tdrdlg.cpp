#include "tdrdlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "appstate.h"
#include "assetnumber.h"
#include "changerecorder.h"
#include "dberror.h"
#include "modal.h"
#include "prompt.h"
#include "recordingprompt.h"
#include "sourcefile.h"
#include "wheelguard.h"
#include "xlsxexport.h"

namespace fx::import {

namespace {

constexpr int kPreviewRows = 20;
const QString kIgnored = QStringLiteral("（不导入）");

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QTableWidget* grid(QWidget* parent, const char* name, const QStringList& titles) {
    auto* g = new QTableWidget(0, int(titles.size()), parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setHorizontalHeaderLabels(titles);
    g->verticalHeader()->setVisible(false);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

QTableWidgetItem* fixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// The key under which a user's mapping for these headers is kept.
QString mappingKey(const QStringList& header) {
    const QByteArray hash =
        QCryptographicHash::hash(header.join(QChar(0x1F)).toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("importmap_") + QString::fromLatin1(hash.toHex().left(16));
}

QString rowsText(const std::vector<int>& rows) {
    QStringList parts;
    for (std::size_t i = 0; i < rows.size() && i < 10; ++i) parts << QString::number(rows[i]);
    if (rows.size() > 10) parts << QStringLiteral("…共%1行").arg(rows.size());
    return parts.join(u',');
}

}  // namespace

TdrDlg::TdrDlg(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("TdrDlg"));
    setWindowTitle(QStringLiteral("导入固定资产"));
    resize(1000, 720);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Button1 = button(this, "Button1", QStringLiteral("选择文件…"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems({QStringLiteral("UTF-8"), QStringLiteral("GBK")});
    ComboBox2->setEnabled(false);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, kMaxRows);
    StringGrid1 = grid(this, "StringGrid1",
                       {QStringLiteral("文件中的栏目"), QStringLiteral("对应的资产栏目")});
    wheelGuard_ = new WheelGuard(StringGrid1);
    QStringList previewTitles = {QStringLiteral("行")};
    for (Field f : importFields())
        if (f != Field::User) previewTitles << fieldCaption(f);
    StringGrid2 = grid(this, "StringGrid2", previewTitles);
    StringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid3 =
        grid(this, "StringGrid3",
             {QStringLiteral("种类"), QStringLiteral("新字典项"), QStringLiteral("所属"),
              QStringLiteral("编号头"), QStringLiteral("月数"), QStringLiteral("所在行")});
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Button2 = button(this, "Button2", QStringLiteral("检查"));
    Button3 = button(this, "Button3", QStringLiteral("导入"));
    Button4 = button(this, "Button4", QStringLiteral("取消"));
    Button5 = button(this, "Button5", QStringLiteral("保存未导入的行…"));
    Button6 = button(this, "Button6", QStringLiteral("下载导入模板"));
    Button7 = button(this, "Button7", QStringLiteral("关闭"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    for (QPushButton* b : {Button2, Button3, Button4, Button5}) b->setEnabled(false);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("文件："), this), 0, 0);
    top->addWidget(Edit1, 0, 1, 1, 5);
    top->addWidget(Button1, 0, 6);
    top->addWidget(new QLabel(QStringLiteral("工作表："), this), 1, 0);
    top->addWidget(ComboBox1, 1, 1);
    top->addWidget(new QLabel(QStringLiteral("编码："), this), 1, 2);
    top->addWidget(ComboBox2, 1, 3);
    top->addWidget(new QLabel(QStringLiteral("标题行："), this), 1, 4);
    top->addWidget(SpinEdit1, 1, 5);
    top->addWidget(Button6, 1, 6);
    auto* middle = new QHBoxLayout;
    middle->addWidget(StringGrid1, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(
        new QLabel(QStringLiteral("需要新增的数据字典项（编号头和月数可以修改）："), this));
    right->addWidget(StringGrid3, 2);
    right->addWidget(new QLabel(QStringLiteral("检查发现的问题："), this));
    right->addWidget(Memo1, 1);
    middle->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    buttons->addWidget(ProgressBar1, 1);
    buttons->addWidget(Button4);
    buttons->addWidget(Button5);
    buttons->addWidget(Button7);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 3);
    layout->addWidget(
        new QLabel(QStringLiteral("预览（前%1行，按导入后的内容）：").arg(kPreviewRows), this));
    layout->addWidget(StringGrid2, 2);
    layout->addWidget(Label1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { chooseFileClick(); });
    connect(Button2, &QPushButton::clicked, this, [this] { check(); });
    connect(Button3, &QPushButton::clicked, this, [this] { importRows(); });
    connect(Button4, &QPushButton::clicked, this, [this] { cancelImport(); });
    connect(Button5, &QPushButton::clicked, this, [this] { saveRefusedClick(); });
    connect(Button6, &QPushButton::clicked, this, [this] { saveTemplateClick(); });
    connect(Button7, &QPushButton::clicked, this, &QDialog::reject);
    connect(ComboBox1, &QComboBox::activated, this,
            [this] { chooseSheet(ComboBox1->currentText()); });
    connect(ComboBox2, &QComboBox::activated, this,
            [this] { chooseEncoding(ComboBox2->currentText()); });
    connect(SpinEdit1, &QSpinBox::editingFinished, this,
            [this] { setHeaderRow(SpinEdit1->value()); });
}

bool TdrDlg::openFile(const QString& path) {
    path_ = path;
    read_ = ReadOptions();
    Edit1->setText(QDir::toNativeSeparators(path));
    headerRow_ = -1;
    if (!readTable()) return false;
    filling_ = true;
    ComboBox1->clear();
    ComboBox1->addItems(table_.sheetNames);
    ComboBox1->setCurrentText(table_.sheet);
    const bool csv = fileKindOf(path) == FileKind::Csv;
    ComboBox2->setEnabled(csv);
    if (csv) ComboBox2->setCurrentText(table_.encoding);
    filling_ = false;
    return true;
}

bool TdrDlg::chooseSheet(const QString& sheet) {
    if (filling_ || path_.isEmpty()) return false;
    read_.sheet = sheet;
    headerRow_ = -1;
    return readTable();
}

bool TdrDlg::chooseEncoding(const QString& encoding) {
    if (filling_ || path_.isEmpty()) return false;
    read_.csv.encoding = encoding;
    return readTable();
}

bool TdrDlg::readTable() {
    plan_.reset();
    result_.reset();
    StringGrid2->setRowCount(0);
    StringGrid3->setRowCount(0);
    Memo1->clear();
    try {
        table_ = readSheet(path_, read_);
    } catch (const ReadError& e) {
        table_ = SheetTable();
        mapping_.clear();
        fillMapping();
        for (QPushButton* b : {Button2, Button3, Button5}) b->setEnabled(false);
        ui::warn(this, e.message(), QStringLiteral("提示"));
        return false;
    }
    if (headerRow_ < 0 || headerRow_ >= int(table_.rows.size()))
        headerRow_ = qMax(0, findHeaderRow(table_.rows));
    setHeaderRow(table_.rows[std::size_t(headerRow_)].number);
    return true;
}

void TdrDlg::setHeaderRow(int fileRow) {
    if (table_.rows.empty()) return;
    int index = 0;
    for (std::size_t i = 0; i < table_.rows.size(); ++i)
        if (table_.rows[i].number <= fileRow) index = int(i);
    headerRow_ = index;
    const QStringList& header = table_.rows[std::size_t(index)].cells;
    mapping_ = rememberedMapping(header);
    if (mapping_.empty()) mapping_ = mapHeader(header);
    mapping_.resize(std::size_t(header.size()), Field::None);
    filling_ = true;
    SpinEdit1->setValue(table_.rows[std::size_t(index)].number);
    filling_ = false;
    plan_.reset();
    fillMapping();
    Button2->setEnabled(true);
    Button3->setEnabled(false);
    Button5->setEnabled(false);
    Label1->setText(QStringLiteral("共%1行数据。请核对各栏目的对应关系，然后按“检查”。")
                        .arg(int(table_.rows.size()) - index - 1));
}

void TdrDlg::fillMapping() {
    filling_ = true;
    const QStringList header = table_.rows.empty() || headerRow_ < 0
                                   ? QStringList()
                                   : table_.rows[std::size_t(headerRow_)].cells;
    StringGrid1->setRowCount(int(header.size()));
    for (int c = 0; c < header.size(); ++c) {
        StringGrid1->setItem(c, 0, fixedItem(header.at(c)));
        auto* box = new QComboBox(StringGrid1);
        box->setObjectName(QStringLiteral("FieldBox%1").arg(c));
        box->addItem(kIgnored, int(Field::None));
        for (Field f : importFields()) box->addItem(fieldCaption(f), int(f));
        box->setCurrentIndex(box->findData(int(columnField(c))));
        connect(box, &QComboBox::activated, this,
                [this, c, box] { setColumnField(c, Field(box->currentData().toInt())); });
        wheelGuard_->guard(box);
        StringGrid1->setCellWidget(c, 1, box);
    }
    StringGrid1->resizeColumnToContents(0);
    filling_ = false;
}

void TdrDlg::setColumnField(int column, Field field) {
    mapping_ = remap(mapping_, column, field);
    plan_.reset();
    Button3->setEnabled(false);
    fillMapping();
}

Field TdrDlg::columnField(int column) const {
    return column >= 0 && std::size_t(column) < mapping_.size() ? mapping_[std::size_t(column)]
                                                                : Field::None;
}

ImportOptions TdrDlg::options() const {
    ImportOptions o;
    o.headerRow = headerRow_;
    o.mapping = mapping_;
    // The prefixes and months the user set in the list of new items.
    for (int r = 0; r < StringGrid3->rowCount(); ++r) {
        const QString kind = StringGrid3->item(r, 0)->text();
        const QString text = StringGrid3->item(r, 1)->text();
        if (kind == additionKindName(dictionary::ItemKind::Category)) {
            const QString prefix = StringGrid3->item(r, 3)->text().trimmed().toUpper();
            if (!prefix.isEmpty()) o.categoryPrefixes.insert(text, prefix);
        } else if (kind == additionKindName(dictionary::ItemKind::Life)) {
            const int months = StringGrid3->item(r, 4)->text().trimmed().toInt();
            if (months > 0) o.lifeMonths.insert(text, months);
        }
    }
    return o;
}

void TdrDlg::check() {
    if (table_.rows.empty()) return;
    try {
        plan_ = planImport(*state_.current, table_, options());
    } catch (const ReadError& e) {
        plan_.reset();
        ui::warn(this, e.message(), QStringLiteral("提示"));
        return;
    } catch (const db::DbError& e) {
        plan_.reset();
        ui::stop(this, e.message());
        return;
    }
    showPlan();
}

void TdrDlg::showPlan() {
    const ImportPlan& p = *plan_;
    QStringList lines;
    for (const Problem& x : p.problems)
        lines << QStringLiteral("第%1行【%2】%3").arg(x.row).arg(x.column, x.message);
    Memo1->setPlainText(lines.join(u'\n'));

    filling_ = true;
    StringGrid3->setRowCount(int(p.additions.size()));
    for (int r = 0; r < int(p.additions.size()); ++r) {
        const Addition& a = p.additions[std::size_t(r)];
        StringGrid3->setItem(r, 0, fixedItem(additionKindName(a.kind)));
        StringGrid3->setItem(r, 1, fixedItem(a.text));
        StringGrid3->setItem(r, 2, fixedItem(a.owner));
        const bool category = a.kind == dictionary::ItemKind::Category;
        const bool life = a.kind == dictionary::ItemKind::Life;
        auto* prefix = new QTableWidgetItem(
            category || a.kind == dictionary::ItemKind::Name ? a.prefix : QString());
        if (!category) prefix->setFlags(prefix->flags() & ~Qt::ItemIsEditable);
        StringGrid3->setItem(r, 3, prefix);
        auto* months =
            new QTableWidgetItem(life && a.number > 0 ? QString::number(a.number) : QString());
        if (!life) months->setFlags(months->flags() & ~Qt::ItemIsEditable);
        StringGrid3->setItem(r, 4, months);
        StringGrid3->setItem(r, 5, fixedItem(rowsText(a.rows)));
    }
    StringGrid3->resizeColumnsToContents();

    const int shown = qMin(int(p.assets.size()), kPreviewRows);
    StringGrid2->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        const AssetRow& a = p.assets[std::size_t(r)];
        const QStringList cells = {QString::number(a.row),
                                   numbering::formatAssetNumber(a.prefix, a.number),
                                   a.zclb,
                                   a.sbmc,
                                   a.sbxh,
                                   a.sbpz,
                                   a.yt,
                                   a.wz,
                                   a.bgr,
                                   a.ly,
                                   a.bxq,
                                   a.gmrq.toString(Qt::ISODate),
                                   a.pzrq.toString(Qt::ISODate),
                                   QString::number(a.gmjg, 'f', 2),
                                   a.other,
                                   a.ybf ? QStringLiteral("是") : QStringLiteral("否")};
        for (int c = 0; c < cells.size(); ++c) StringGrid2->setItem(r, c, fixedItem(cells.at(c)));
    }
    StringGrid2->resizeColumnsToContents();
    filling_ = false;

    Label1->setText(
        QStringLiteral("共%1行数据：%2行可以导入，%3行有问题不能导入；需要新增%4个数据字典项。")
            .arg(p.dataRows)
            .arg(p.assets.size())
            .arg(p.refusedRows.size())
            .arg(p.additions.size()));
    Button3->setEnabled(!p.assets.empty());
    Button5->setEnabled(!p.refusedRows.empty());
}

bool TdrDlg::importRows() {
    if (!plan_) check();
    if (!plan_ || plan_->assets.empty()) return false;
    if (!plan_->refusedRows.empty() &&
        !ui::confirm(this, QStringLiteral("有%1行不能导入，只导入其余的%2行吗？")
                               .arg(plan_->refusedRows.size())
                               .arg(plan_->assets.size())))
        return false;
    cancelled_ = false;
    Button4->setEnabled(true);
    for (QPushButton* b : {Button1, Button2, Button3, Button5, Button6, Button7})
        b->setEnabled(false);
    ProgressBar1->setRange(0, int(plan_->assets.size()));
    const auto progress = [this](int done, int total) {
        ProgressBar1->setRange(0, total);
        ProgressBar1->setValue(done);
        // The one thread lets the window paint and take the click on "取消" between rows.
        QCoreApplication::processEvents();
        return !cancelled_;
    };
    bool stored = false;
    // The history transaction is opened first and closed once the register has committed.
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    try {
        recorder.begin();
        result_ = runImport(*state_.current, table_, options(), progress, &recorder, path_);
        plan_ = result_->plan;
        stored = true;
    } catch (const ImportCancelled&) {
        Label1->setText(QStringLiteral("导入已取消，没有导入任何资产。"));
    } catch (const db::DbError& e) {
        ui::stop(this, QStringLiteral("导入失败，没有导入任何资产。\n") + e.message());
        Label1->setText(QStringLiteral("导入失败，没有导入任何资产。"));
    }
    if (stored)
        ui::finishRecording(this, recorder);
    else
        recorder.rollback();
    Button4->setEnabled(false);
    for (QPushButton* b : {Button1, Button2, Button6, Button7}) b->setEnabled(true);
    if (!stored) {
        ProgressBar1->setValue(0);
        Button3->setEnabled(true);
        return false;
    }
    rememberMapping();
    const QString text = result_->added == 0
                             ? QStringLiteral("没有导入资产。")
                             : QStringLiteral("已导入%1个固定资产，序号从第%2号至第%3号。")
                                   .arg(result_->added)
                                   .arg(result_->firstSerial)
                                   .arg(result_->lastSerial);
    const QString refused =
        plan_->refusedRows.empty()
            ? QString()
            : QStringLiteral(
                  "\n有%1行未导入，可以按“保存未导入的行…”把它们存为工作簿，改正后再导入。")
                  .arg(plan_->refusedRows.size());
    Label1->setText(text + refused);
    Button5->setEnabled(!plan_->refusedRows.empty());
    ui::inform(this, text + refused);
    return result_->added > 0;
}

bool TdrDlg::saveRefusedRows(const QString& path) {
    if (!plan_ || headerRow_ < 0) return false;
    QHash<int, QStringList> reasons;
    for (const Problem& p : plan_->problems)
        reasons[p.row] << QStringLiteral("【%1】%2").arg(p.column, p.message);
    std::vector<const SheetRow*> rows;
    for (const SheetRow& r : table_.rows)
        if (reasons.contains(r.number)) rows.push_back(&r);
    query::SheetSource sheet;
    sheet.titles = table_.rows[std::size_t(headerRow_)].cells;
    const int reasonColumn = int(sheet.titles.size());
    sheet.titles << QStringLiteral("未导入原因");
    sheet.rowCount = int(rows.size());
    sheet.cell = [&](int row, int column) {
        const SheetRow& r = *rows[std::size_t(row)];
        if (column == reasonColumn) return reasons.value(r.number).join(u'；');
        return r.cells.value(column);
    };
    QString error;
    if (!query::writeWorkbook(path, sheet, &error)) {
        ui::stop(this, QStringLiteral("不能保存该文件：\n") + error);
        return false;
    }
    return true;
}

bool TdrDlg::saveTemplate(const QString& path, QString* error) {
    query::SheetSource sheet;
    for (Field f : importFields())
        if (f != Field::User) sheet.titles << fieldCaption(f);
    const std::vector<QStringList> examples = {
        {QStringLiteral("JSJ-1"), QStringLiteral("电脑"), QStringLiteral("台式电脑"),
         QStringLiteral("联想M720"), QStringLiteral("i5/8G/1T"), QStringLiteral("办公"),
         QStringLiteral("财务科"), QStringLiteral("张三"), QStringLiteral("购置"),
         QStringLiteral("5年"), QStringLiteral("2020-01-15"), QStringLiteral("2020-01-15"),
         QStringLiteral("4999.00"), QStringLiteral("编号可以不填，系统自动编号"),
         QStringLiteral("否")},
        {QString(), QStringLiteral("办公家具"), QStringLiteral("文件柜"), QString(), QString(),
         QString(), QStringLiteral("档案室"), QString(), QStringLiteral("调入"),
         QStringLiteral("10年"), QStringLiteral("2019/3/2"), QString(), QStringLiteral("850"),
         QString(), QString()},
    };
    sheet.rowCount = int(examples.size());
    sheet.cell = [&](int row, int column) { return examples[std::size_t(row)].value(column); };
    return query::writeWorkbook(path, sheet, error);
}

void TdrDlg::rememberMapping() const {
    if (headerRow_ < 0 || table_.rows.empty()) return;
    const QStringList& header = table_.rows[std::size_t(headerRow_)].cells;
    QStringList fields;
    for (std::size_t c = 0; c < mapping_.size(); ++c) fields << fieldCaption(mapping_[c]);
    QSettings ini(state_.settingsPath(), QSettings::IniFormat);
    ini.beginGroup(state_.userName);
    ini.setValue(mappingKey(header), fields);
}

std::vector<Field> TdrDlg::rememberedMapping(const QStringList& header) const {
    QSettings ini(state_.settingsPath(), QSettings::IniFormat);
    ini.beginGroup(state_.userName);
    const QStringList fields = ini.value(mappingKey(header)).toStringList();
    if (fields.size() != header.size()) return {};
    std::vector<Field> mapping;
    for (const QString& f : fields)
        mapping.push_back(f.isEmpty() ? Field::None : fieldForCaption(f));
    return mapping;
}

void TdrDlg::chooseFileClick() {
    ui::FileRequest request;
    request.caption = QStringLiteral("选择要导入的文件");
    request.directory = QFileInfo(path_).absolutePath();
    request.filter = QStringLiteral("资产清单 (*.xlsx *.xls *.csv *.txt)");
    const QString path = ui::chooseFile(this, request);
    if (!path.isEmpty()) openFile(path);
}

void TdrDlg::saveRefusedClick() {
    ui::FileRequest request;
    request.save = true;
    request.caption = QStringLiteral("保存未导入的行");
    request.directory = QFileInfo(path_).absolutePath() + QStringLiteral("/未导入的行.xlsx");
    request.filter = QStringLiteral("Excel 工作簿 (*.xlsx)");
    QString path = ui::chooseFile(this, request);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    if (saveRefusedRows(path))
        ui::inform(this, QStringLiteral("未导入的行已保存为：\n") + QDir::toNativeSeparators(path));
}

void TdrDlg::saveTemplateClick() {
    ui::FileRequest request;
    request.save = true;
    request.caption = QStringLiteral("保存导入模板");
    request.directory = QDir::homePath() + QStringLiteral("/固定资产导入模板.xlsx");
    request.filter = QStringLiteral("Excel 工作簿 (*.xlsx)");
    QString path = ui::chooseFile(this, request);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    QString error;
    if (!saveTemplate(path, &error)) {
        ui::stop(this, QStringLiteral("不能保存该文件：\n") + error);
        return;
    }
    ui::inform(this, QStringLiteral("导入模板已保存为：\n") + QDir::toNativeSeparators(path));
}

}  // namespace fx::import
