#include "importplan.h"

#include <QSet>
#include <algorithm>
#include <climits>
#include <map>
#include <optional>

#include "assetnumber.h"
#include "connection.h"
#include "importvalues.h"
#include "itemkind.h"
#include "pinyinprefix.h"
#include "quote.h"
#include "rowset.h"

namespace fx::import {

namespace {

using dictionary::ItemKind;

// A category's new items are made with the rate the card's rate form starts at.
constexpr int kDefaultRate = 5;

QString pairKey(const QString& a, const QString& b) {
    return a + QChar(0x1F) + b;
}

// What the dictionary and the register hold, read once for the whole check.
struct Known {
    QHash<QString, QString> categoryTitle;                    // sort -> title
    QHash<QString, std::pair<QString, bool>> nameInCategory;  // (sort, name) -> (bht, wzorgr)
    QHash<QString, std::pair<QString, bool>> nameAnywhere;    // name -> its first row
    QSet<QString> models;                                     // (sbmc, sbxh)
    QSet<QString> uses;                                       // (sort, yt)
    QSet<QString> places, persons, lives, sources;

    explicit Known(db::Connection& c) {
        db::RowSet r(c);
        r.open(QStringLiteral("select sort,title from sortproc"));
        for (; !r.eof(); r.next())
            categoryTitle.insert(r.text(QStringLiteral("sort")), r.text(QStringLiteral("title")));
        r.open(QStringLiteral("select name,sort,bht,wzorgr from sortb"));
        for (; !r.eof(); r.next()) {
            const auto v =
                std::make_pair(r.text(QStringLiteral("bht")), r.yesNo(QStringLiteral("wzorgr")));
            const QString name = r.text(QStringLiteral("name"));
            nameInCategory.insert(pairKey(r.text(QStringLiteral("sort")), name), v);
            if (!nameAnywhere.contains(name)) nameAnywhere.insert(name, v);
        }
        r.open(QStringLiteral("select sbmc,sbxh from xhpz"));
        for (; !r.eof(); r.next())
            models.insert(pairKey(r.text(QStringLiteral("sbmc")), r.text(QStringLiteral("sbxh"))));
        r.open(QStringLiteral("select sort,yt from ytb"));
        for (; !r.eof(); r.next())
            uses.insert(pairKey(r.text(QStringLiteral("sort")), r.text(QStringLiteral("yt"))));
        const struct {
            const char* sql;
            const char* field;
            QSet<QString>* set;
        } lists[] = {{"select wz from wzb", "wz", &places},
                     {"select pname from person", "pname", &persons},
                     {"select qx from syq", "qx", &lives},
                     {"select ly from lyfs", "ly", &sources}};
        for (const auto& l : lists) {
            r.open(QString::fromLatin1(l.sql));
            for (; !r.eof(); r.next()) l.set->insert(r.text(QString::fromLatin1(l.field)));
        }
    }
};

// The numbers the register holds under a prefix from first to last, found through the index
// on (id, num): the check reads only the part of the register the file's numbers can meet.
QSet<int> registerNumbers(db::Connection& c, const QString& prefix, int first, int last) {
    QSet<int> numbers;
    db::RowSet r(c);
    r.open(QStringLiteral("select num from sbjl where id=%1 and num>=%2 and num<=%3")
               .arg(db::quoted(prefix))
               .arg(first)
               .arg(last));
    for (; !r.eof(); r.next()) numbers.insert(r.integer(QStringLiteral("num")));
    return numbers;
}

// An asset number the file gives, for the check of taken and repeated numbers.
struct FileNumber {
    int row = 0;
    QString prefix;
    int number = 0;
};

// The cells of one data row by field, cleaned.
struct RowValues {
    const SheetRow* row = nullptr;
    QHash<Field, int> columns;  // field -> column index

    QString raw(Field f) const {
        const int c = columns.value(f, -1);
        return c >= 0 && c < row->cells.size() ? row->cells.at(c) : QString();
    }
    QString text(Field f) const { return cleanText(raw(f), f == Field::Remarks); }
};

class Planner {
public:
    Planner(db::Connection& c, const SheetTable& table, const ImportOptions& options)
        : c_(c), table_(table), options_(options), known_(c) {}

    ImportPlan run() {
        plan_.headerRow = options_.headerRow >= 0 ? options_.headerRow : findHeaderRow(table_.rows);
        if (plan_.headerRow < 0 || plan_.headerRow >= int(table_.rows.size()))
            throw ReadError(QStringLiteral(
                "在表格的前 30 "
                "行中没有找到标题行（如“资产类别”、“名称”等栏目名称），请指定标题行。"));
        plan_.header = table_.rows[std::size_t(plan_.headerRow)].cells;
        plan_.mapping = options_.mapping.empty() ? mapHeader(plan_.header) : options_.mapping;
        plan_.mapping.resize(std::size_t(plan_.header.size()), Field::None);
        for (int i = 0; i < int(plan_.mapping.size()); ++i)
            if (plan_.mapping[std::size_t(i)] != Field::None &&
                !columns_.contains(plan_.mapping[std::size_t(i)]))
                columns_.insert(plan_.mapping[std::size_t(i)], i);
        for (Field required : {Field::Category, Field::Name})
            if (!columns_.contains(required))
                throw ReadError(QStringLiteral("没有对应“%1”的栏目，不能导入。请在对照表中指定。")
                                    .arg(fieldCaption(required)));
        collectPersonsOfFile();

        // The rows are held once, in the plan's own list, and narrowed in place as the checks
        // refuse them: a large file is never copied from one list to the next.
        std::vector<AssetRow>& rows = plan_.assets;
        rows.reserve(table_.rows.size() - std::size_t(plan_.headerRow) - 1);
        std::vector<FileNumber> numbered;  // every row whose number reads, refused or not
        for (std::size_t i = std::size_t(plan_.headerRow) + 1; i < table_.rows.size(); ++i) {
            ++plan_.dataRows;
            RowValues v{&table_.rows[i], columns_};
            problemsOfRow_.clear();
            AssetRow a = readRow(v);
            if (a.numberFromFile) numbered.push_back({a.row, a.prefix, a.number});
            if (problemsOfRow_.empty())
                rows.push_back(std::move(a));
            else
                refuse();
        }
        checkNumbers(numbered);
        numbered = {};
        const auto isRefused = [this](const AssetRow& a) { return refused_.contains(a.row); };
        std::erase_if(rows, isRefused);
        decideStorage(rows);
        for (AssetRow& a : rows) {
            problemsOfRow_.clear();
            placeAsset(a);
            refuse();
        }
        std::erase_if(rows, isRefused);
        for (AssetRow& a : rows) noteAdditions(a);
        numberRows();
        std::stable_sort(plan_.problems.begin(), plan_.problems.end(),
                         [](const Problem& x, const Problem& y) { return x.row < y.row; });
        for (const auto& [kind, list] : additions_)
            for (const Addition& a : list) plan_.additions.push_back(a);
        plan_.refusedRows = std::vector<int>(refused_.begin(), refused_.end());
        std::sort(plan_.refusedRows.begin(), plan_.refusedRows.end());
        return std::move(plan_);
    }

private:
    QString caption(Field f) const {
        const int c = columns_.value(f, -1);
        return c >= 0 && c < plan_.header.size() ? plan_.header.at(c) : fieldCaption(f);
    }

    void problem(int row, Field f, const QString& message) {
        problemsOfRow_.push_back({row, caption(f), message});
    }

    void refuse() {
        for (const Problem& p : problemsOfRow_) {
            plan_.problems.push_back(p);
            refused_.insert(p.row);
        }
    }

    // The file's own custodians and users count as known persons: a name whose location
    // column holds them is kept by a person.
    void collectPersonsOfFile() {
        for (std::size_t i = std::size_t(plan_.headerRow) + 1; i < table_.rows.size(); ++i) {
            RowValues v{&table_.rows[i], columns_};
            for (Field f : {Field::Custodian, Field::User}) {
                const QString p = v.text(f);
                if (!p.isEmpty()) personsOfFile_.insert(p);
            }
        }
    }

    bool isKnownPerson(const QString& p) const {
        return p == dictionary::kUnassigned || known_.persons.contains(p) ||
               personsOfFile_.contains(p);
    }

    QString checkedText(const RowValues& v, Field f) {
        const QString t = v.text(f);
        const int width = fieldWidth(f);
        if (width > 0 && t.size() > width)
            problem(v.row->number, f,
                    QStringLiteral("内容有%1个字，超过了该栏最多%2个字的长度。")
                        .arg(t.size())
                        .arg(width));
        return t;
    }

    AssetRow readRow(const RowValues& v) {
        AssetRow a;
        a.row = v.row->number;
        const QString number = halfWidthDigits(v.text(Field::AssetNumber)).toUpper();
        if (!number.isEmpty()) {
            const numbering::ParseResult p = numbering::parseAssetNumber(number);
            if (!p.ok()) {
                problem(
                    a.row, Field::AssetNumber,
                    QStringLiteral("编号“%1”格式不对，应为不超过8个字母、“-”和数字，例如 JSJ-121。")
                        .arg(number));
            } else {
                a.prefix = p.value.prefix;
                a.number = p.value.number;
                a.numberFromFile = true;
            }
        }
        a.zclb = checkedText(v, Field::Category);
        a.sbmc = checkedText(v, Field::Name);
        a.sbxh = checkedText(v, Field::Model);
        a.sbpz = checkedText(v, Field::Configuration);
        a.yt = checkedText(v, Field::Use);
        a.wz = checkedText(v, Field::Location);
        userOfRow_ = checkedText(v, Field::User);
        a.bgr = checkedText(v, Field::Custodian);
        a.ly = checkedText(v, Field::Source);
        a.bxq = checkedText(v, Field::Life);
        a.other = checkedText(v, Field::Remarks);
        if (a.wz.isEmpty()) a.wz = userOfRow_;
        users_.insert(a.row, userOfRow_);
        if (a.zclb.isEmpty()) problem(a.row, Field::Category, QStringLiteral("资产类别不能为空。"));
        if (a.sbmc.isEmpty()) problem(a.row, Field::Name, QStringLiteral("名称不能为空。"));
        if (a.wz.isEmpty())
            problem(a.row, Field::Location, QStringLiteral("位置或使用者不能为空。"));
        if (a.bxq.isEmpty()) problem(a.row, Field::Life, QStringLiteral("使用年限不能为空。"));

        const QString bought = v.text(Field::PurchaseDate);
        if (bought.isEmpty()) {
            problem(a.row, Field::PurchaseDate, QStringLiteral("购买日期不能为空。"));
        } else if (const std::optional<QDate> d = parseDate(bought)) {
            a.gmrq = *d;
        } else {
            problem(a.row, Field::PurchaseDate,
                    QStringLiteral("“%1”不是日期，请写成 2020-01-15 这样的形式。").arg(bought));
        }
        const QString placed = v.text(Field::AllocationDate);
        a.pzrq = a.gmrq;
        if (!placed.isEmpty()) {
            if (const std::optional<QDate> d = parseDate(placed))
                a.pzrq = *d;
            else
                problem(a.row, Field::AllocationDate,
                        QStringLiteral("“%1”不是日期，请写成 2020-01-15 这样的形式。").arg(placed));
        }
        const QString price = v.text(Field::Price);
        if (const std::optional<double> p = parsePrice(price))
            a.gmjg = *p;
        else
            problem(a.row, Field::Price, QStringLiteral("“%1”不是金额。").arg(price));
        const QString scrapped = v.text(Field::Scrapped);
        if (const std::optional<bool> s = parseYesNo(scrapped))
            a.ybf = *s;
        else
            problem(a.row, Field::Scrapped, QStringLiteral("“%1”应为“是”或“否”。").arg(scrapped));
        return a;
    }

    // Storage mode of the names the dictionary does not hold in their category: held by a
    // person when every row of the name names a known person in its location column.
    void decideStorage(const std::vector<AssetRow>& rows) {
        QHash<QString, bool> allPersons;
        for (const AssetRow& a : rows) {
            const QString key = pairKey(a.zclb, a.sbmc);
            if (known_.nameInCategory.contains(key)) continue;
            const bool person = isKnownPerson(a.wz);
            allPersons.insert(key, allPersons.value(key, true) && person);
        }
        for (auto it = allPersons.cbegin(); it != allPersons.cend(); ++it)
            newNameAtPlace_.insert(it.key(), !it.value());
    }

    // The category's default prefix, as the dictionary holds it or as it will be added.
    QString categoryPrefix(const QString& category) const {
        if (known_.categoryTitle.contains(category)) return known_.categoryTitle.value(category);
        const QString chosen = options_.categoryPrefixes.value(category);
        if (!chosen.isEmpty()) return chosen;
        // The transliteration is slow beside everything else of a row: once per category.
        auto it = pinyin_.find(category);
        if (it == pinyin_.end()) it = pinyin_.insert(category, pinyinPrefix(category));
        return it.value();
    }

    // The name's prefix and storage mode.
    std::pair<QString, bool> nameDefaults(const QString& category, const QString& name) const {
        const QString key = pairKey(category, name);
        if (known_.nameInCategory.contains(key)) return known_.nameInCategory.value(key);
        bool atPlace = newNameAtPlace_.value(key, true);
        return {categoryPrefix(category), atPlace};
    }

    void placeAsset(AssetRow& a) {
        const auto [prefix, atPlace] = nameDefaults(a.zclb, a.sbmc);
        a.worp = atPlace;
        const QString user = users_.value(a.row);
        if (!atPlace && !user.isEmpty()) a.wz = user;
        // A person holding the asset is its custodian, as on the card, unless the file has a
        // custodian column of its own: then its value, empty or not, stands.
        if (!atPlace && !columns_.contains(Field::Custodian)) a.bgr = a.wz;
        if (!a.numberFromFile) a.prefix = prefix + QLatin1Char('-');
        const QString category = a.zclb;
        if (!known_.categoryTitle.contains(category)) {
            const QString p = categoryPrefix(category);
            const bool valid =
                !p.isEmpty() && p.size() <= numbering::kMaxPrefixLetters &&
                std::all_of(p.begin(), p.end(), [](QChar ch) { return ch >= u'A' && ch <= u'Z'; });
            if (!valid)
                problem(a.row, Field::Category,
                        QStringLiteral("新资产类别“%1”的缺省编号头“%2”应为1至8个大写字母。")
                            .arg(category, p));
        }
        if (!a.bxq.isEmpty() && !known_.lives.contains(a.bxq) && monthsOf(a.bxq) == 0)
            problem(a.row, Field::Life,
                    QStringLiteral("新使用年限“%1”相当于几个月无法从文字读出，请给出月数。")
                        .arg(a.bxq));
    }

    int monthsOf(const QString& life) const {
        const int chosen = options_.lifeMonths.value(life, 0);
        return chosen >= 1 && chosen <= 1200 ? chosen : lifeMonths(life);
    }

    // Numbers from the file: taken in the register, or twice in the file.
    void checkNumbers(const std::vector<FileNumber>& numbered) {
        QHash<QString, std::pair<int, int>> range;  // prefix -> the file's lowest and highest
        for (const FileNumber& a : numbered) {
            auto it = range.find(a.prefix);
            if (it == range.end())
                range.insert(a.prefix, {a.number, a.number});
            else
                *it = {qMin(it->first, a.number), qMax(it->second, a.number)};
        }
        QHash<QString, QSet<int>> taken;
        for (auto it = range.cbegin(); it != range.cend(); ++it)
            taken.insert(it.key(),
                         registerNumbers(c_, it.key(), it.value().first, it.value().second));
        QHash<QString, int> firstRow;
        for (const FileNumber& a : numbered) {
            problemsOfRow_.clear();
            const QString shown = numbering::formatAssetNumber(a.prefix, a.number);
            if (taken.value(a.prefix).contains(a.number)) {
                problem(a.row, Field::AssetNumber,
                        QStringLiteral("编号%1已经被登记簿中的其它固定资产占用。").arg(shown));
            } else if (firstRow.contains(shown)) {
                problem(
                    a.row, Field::AssetNumber,
                    QStringLiteral("编号%1与第%2行重复。").arg(shown).arg(firstRow.value(shown)));
            } else {
                firstRow.insert(shown, a.row);
            }
            refuse();
        }
    }

    Addition& addition(ItemKind kind, const QString& text, const QString& owner, bool& isNew) {
        const QString key = pairKey(owner, text);
        auto& index = additionIndex_[int(kind)];
        auto& list = additions_[int(kind)];
        isNew = !index.contains(key);
        if (isNew) {
            index.insert(key, int(list.size()));
            Addition a;
            a.kind = kind;
            a.text = text;
            a.owner = owner;
            list.push_back(a);
        }
        return list[std::size_t(index.value(key))];
    }

    void need(ItemKind kind, const QString& text, const QString& owner, int row) {
        bool isNew = false;
        Addition& a = addition(kind, text, owner, isNew);
        if (a.rows.empty() || a.rows.back() != row) a.rows.push_back(row);
        if (!isNew) return;
        switch (kind) {
            case ItemKind::Category:
                a.prefix = categoryPrefix(text);
                a.number = kDefaultRate;
                break;
            case ItemKind::Name: {
                const auto [prefix, atPlace] = nameDefaults(owner, text);
                a.prefix = prefix;
                a.flag = atPlace;
                break;
            }
            case ItemKind::Life:
                a.number = monthsOf(text);
                break;
            default:
                break;
        }
    }

    void noteAdditions(AssetRow& a) {
        if (!known_.categoryTitle.contains(a.zclb))
            need(ItemKind::Category, a.zclb, QString(), a.row);
        if (!known_.nameInCategory.contains(pairKey(a.zclb, a.sbmc)))
            need(ItemKind::Name, a.sbmc, a.zclb, a.row);
        if (!a.sbxh.isEmpty() && !known_.models.contains(pairKey(a.sbmc, a.sbxh))) {
            bool isNew = false;
            Addition& m = addition(ItemKind::Model, a.sbxh, a.sbmc, isNew);
            if (isNew) m.configuration = a.sbpz;
            m.rows.push_back(a.row);
        }
        if (!a.yt.isEmpty() && !known_.uses.contains(pairKey(a.zclb, a.yt)))
            need(ItemKind::Use, a.yt, a.zclb, a.row);
        if (a.worp) {
            if (!known_.places.contains(a.wz)) need(ItemKind::Location, a.wz, QString(), a.row);
        } else if (!known_.persons.contains(a.wz) && a.wz != dictionary::kUnassigned) {
            need(ItemKind::User, a.wz, QString(), a.row);
        }
        if (!a.bgr.isEmpty() && !known_.persons.contains(a.bgr) && a.bgr != dictionary::kUnassigned)
            need(ItemKind::User, a.bgr, QString(), a.row);
        if (!a.ly.isEmpty() && !known_.sources.contains(a.ly))
            need(ItemKind::Source, a.ly, QString(), a.row);
        if (!known_.lives.contains(a.bxq)) need(ItemKind::Life, a.bxq, QString(), a.row);
    }

    // Rows without a number take the next free one under their name's prefix: one above the
    // highest issued (idupper), past every number the register or the file already holds.
    void numberRows() {
        QHash<QString, QSet<int>> taken;  // the file's numbers
        for (const AssetRow& a : plan_.assets)
            if (a.numberFromFile) taken[a.prefix].insert(a.number);
        QHash<QString, int> next;
        for (AssetRow& a : plan_.assets) {
            if (a.numberFromFile) continue;
            if (!next.contains(a.prefix)) {
                // The register's numbers from the first candidate on join the file's.
                const int first = numbering::registeredMax(c_, a.prefix).value_or(0) + 1;
                next.insert(a.prefix, first);
                taken[a.prefix].unite(registerNumbers(c_, a.prefix, first, INT_MAX));
            }
            int n = next.value(a.prefix);
            QSet<int>& used = taken[a.prefix];
            while (used.contains(n)) ++n;
            a.number = n;
            used.insert(n);
            next.insert(a.prefix, n + 1);
        }
    }

    db::Connection& c_;
    const SheetTable& table_;
    const ImportOptions& options_;
    Known known_;
    ImportPlan plan_;
    QHash<Field, int> columns_;
    QSet<QString> personsOfFile_;
    QHash<QString, bool> newNameAtPlace_;
    mutable QHash<QString, QString> pinyin_;  // category -> its pinyin prefix
    QHash<int, QString> users_;               // row -> its user column
    QString userOfRow_;
    std::vector<Problem> problemsOfRow_;
    QSet<int> refused_;
    std::map<int, std::vector<Addition>> additions_;
    std::map<int, QHash<QString, int>> additionIndex_;
};

}  // namespace

ImportPlan planImport(db::Connection& c, const SheetTable& table, const ImportOptions& options) {
    return Planner(c, table, options).run();
}

QString additionKindName(dictionary::ItemKind kind) {
    return dictionary::itemCaption(kind);
}

}  // namespace fx::import
