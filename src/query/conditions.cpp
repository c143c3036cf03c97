#include "conditions.h"

#include "depreciation.h"
#include "quote.h"

namespace fx::query {

namespace {

// " and column='value'", or with fuzzy matching " and column like '%value%'".
QString match(const char* column, const QString& value, bool fuzzy) {
    const QString c = QString::fromLatin1(column);
    if (fuzzy)
        return QStringLiteral(" and ") + c + QStringLiteral(" like '%") + db::escaped(value) +
               QStringLiteral("%'");
    return QStringLiteral(" and ") + c + QLatin1Char('=') + db::quoted(value);
}

QString contains(const char* column, const QString& word) {
    return QStringLiteral(" and ") + QString::fromLatin1(column) + QStringLiteral(" like '%") +
           db::escaped(word) + QStringLiteral("%'");
}

}  // namespace

QStringList queryWords(const QString& box) {
    QStringList words;
    for (const QString& piece : box.split(QLatin1Char('+'))) {
        const QString word = piece.trimmed();
        if (!word.isEmpty()) words << word;
    }
    return words;
}

QString conditionFragments(const QueryForm& f) {
    QString sql;
    if (!f.category.isEmpty()) sql += match("zclb", f.category, f.fuzzy);
    if (!f.name.isEmpty()) sql += match("sbmc", f.name, f.fuzzy);
    if (!f.place.isEmpty() && (f.storage == Storage::ByLocation || f.storage == Storage::ByUser)) {
        sql += match("wz", f.place, f.fuzzy);
    }
    if (!f.use.isEmpty()) sql += match("yt", f.use, f.fuzzy);
    if (!f.model.isEmpty()) sql += match("sbxh", f.model, f.fuzzy);
    if (!f.life.isEmpty()) sql += match("bxq", f.life, f.fuzzy);
    for (const QString& word : queryWords(f.configuration)) sql += contains("sbpz", word);
    if (f.hasRemarks) sql += QStringLiteral(" and other not in (null,' ')");
    if (f.hasMaintenance) sql += QStringLiteral(" and wx");
    if (f.lent) sql += QStringLiteral(" and yjc");
    if (f.scrapped) sql += QStringLiteral(" and ybf");
    if (f.notScrapped) sql += QStringLiteral(" and not ybf");
    if (f.pastLife) sql += reports::kPastServiceLifeCondition;
    if (f.storage == Storage::ByCustodian) {
        sql += f.place.isEmpty() ? QStringLiteral(" and bgr='' and worp")
                                 : match("bgr", f.place, f.fuzzy);
    }
    if (f.storage == Storage::ByLocation) sql += QStringLiteral(" and worp");
    if (f.storage == Storage::ByUser) sql += QStringLiteral(" and not worp");
    sql += QStringLiteral(" and gmjg>=") + QString::number(f.priceFrom) +
           QStringLiteral(" and gmjg<=") + QString::number(f.priceTo);
    sql += QStringLiteral(" and gmrq>=") + db::jetDate(f.boughtFrom) +
           QStringLiteral(" and gmrq<=") + db::jetDate(f.boughtTo);
    for (const QString& word : queryWords(f.remarks)) sql += contains("other", word);
    if (f.storage == Storage::ByDepartment && !f.place.isEmpty()) {
        sql += QStringLiteral(" and (wz=") + db::quoted(f.place);
        for (const QString& person : f.departmentPeople) {
            sql += QStringLiteral(" or wz=") + db::quoted(person);
        }
        sql += QLatin1Char(')');
    }
    return sql;
}

}  // namespace fx::query
