#include "importfields.h"

namespace fx::import {

namespace {

struct FieldInfo {
    Field field;
    const char* caption;
    const char* column;    // the asset column of sbjl it fills
    int width;             // characters of that column; 0 for non-text
    const char* synonyms;  // further captions, separated by '|'
};

const FieldInfo kFields[] = {
    {Field::AssetNumber, "编号", "bh", 0, "资产编号|固定资产编号|资产代码|编码"},
    {Field::Category, "资产类别", "zclb", 50, "类别|资产分类|分类|类型"},
    {Field::Name, "名称", "sbmc", 50, "资产名称|设备名称|固定资产名称|品名"},
    {Field::Model, "型号", "sbxh", 50, "规格型号|规格|型号规格"},
    {Field::Configuration, "设备配置", "sbpz", 100, "配置|具体配置"},
    {Field::Use, "用途", "yt", 50, ""},
    {Field::Location, "位置(使用者)", "wz", 50, "存放地点|位置|存放位置|地点|位置（使用者）"},
    {Field::User, "使用者", "", 50, "使用人|领用人"},
    {Field::Custodian, "保管人", "bgr", 20, "责任人|保管者"},
    {Field::Source, "来源方式", "ly", 20, "来源|取得方式|增加方式"},
    {Field::Life, "使用年限", "bxq", 20, "年限|折旧年限|使用期限"},
    {Field::PurchaseDate, "购买日期", "gmrq", 0, "取得日期|购置日期|购入日期|入账日期"},
    {Field::AllocationDate, "配置日期", "pzrq", 0, ""},
    {Field::Price, "购买价格", "gmjg", 0, "原值|金额|价格|单价|购置金额|原价"},
    {Field::Remarks, "备注", "other", 100, "说明"},
    {Field::Scrapped, "已报废", "ybf", 0, "是否报废|报废"},
};

const FieldInfo* infoOf(Field f) {
    for (const FieldInfo& i : kFields)
        if (i.field == f) return &i;
    return nullptr;
}

// A caption as compared: no blanks of either width, no colon, full-width brackets made
// half-width, lower case.
QString normalised(const QString& caption) {
    QString s;
    for (QChar ch : caption) {
        if (ch.isSpace() || ch == u'\u3000' || ch == u':' || ch == u'：' || ch == u'*') continue;
        if (ch == u'（') ch = u'(';
        if (ch == u'）') ch = u')';
        s += ch.toLower();
    }
    return s;
}

const QHash<QString, Field>& captionTable() {
    static const QHash<QString, Field> table = [] {
        QHash<QString, Field> t;
        for (const FieldInfo& i : kFields) {
            t.insert(normalised(QString::fromUtf8(i.caption)), i.field);
            for (const QString& s : QString::fromUtf8(i.synonyms).split(u'|', Qt::SkipEmptyParts))
                t.insert(normalised(s), i.field);
        }
        return t;
    }();
    return table;
}

}  // namespace

const std::vector<Field>& importFields() {
    static const std::vector<Field> fields = [] {
        std::vector<Field> f;
        for (const FieldInfo& i : kFields) f.push_back(i.field);
        return f;
    }();
    return fields;
}

QString fieldCaption(Field f) {
    const FieldInfo* i = infoOf(f);
    return i ? QString::fromUtf8(i->caption) : QString();
}

Field fieldForCaption(const QString& caption) {
    return captionTable().value(normalised(caption), Field::None);
}

Field fieldForName(const QString& name) {
    for (const FieldInfo& i : kFields)
        if (*i.column && name.compare(QLatin1String(i.column), Qt::CaseInsensitive) == 0)
            return i.field;
    return fieldForCaption(name);
}

int fieldWidth(Field f) {
    const FieldInfo* i = infoOf(f);
    return i ? i->width : 0;
}

std::vector<Field> mapHeader(const QStringList& header) {
    std::vector<Field> mapping;
    QList<Field> used;
    for (const QString& caption : header) {
        Field f = fieldForCaption(caption);
        if (f != Field::None && used.contains(f)) f = Field::None;
        if (f != Field::None) used << f;
        mapping.push_back(f);
    }
    return mapping;
}

std::vector<Field> remap(std::vector<Field> mapping, int column, Field f) {
    if (column < 0) return mapping;
    if (std::size_t(column) >= mapping.size()) mapping.resize(std::size_t(column) + 1, Field::None);
    if (f != Field::None)
        for (Field& m : mapping)
            if (m == f) m = Field::None;
    mapping[std::size_t(column)] = f;
    return mapping;
}

int findHeaderRow(const std::vector<SheetRow>& rows) {
    const int scan = qMin(int(rows.size()), 30);
    for (int r = 0; r < scan; ++r) {
        int known = 0;
        for (const QString& cell : rows[std::size_t(r)].cells)
            if (fieldForCaption(cell) != Field::None) ++known;
        if (known >= 2) return r;
    }
    return -1;
}

}  // namespace fx::import
