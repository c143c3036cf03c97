#include "assetnumber.h"

#include "connection.h"
#include "quote.h"
#include "rowset.h"

namespace fx::numbering {

namespace {

bool isPrefixLetter(QChar ch) {
    return ch >= u'A' && ch <= u'Z';
}

// The statement that finds a prefix row, as the program writes it.
QString idupperRow(const QString& prefix) {
    return QStringLiteral("select * from idupper where idup='") + db::escaped(prefix) +
           QLatin1Char('\'');
}

// The highest number an asset still holds under the prefix; nothing when none is left.
std::optional<int> highestNumberInUse(db::Connection& c, const QString& prefix) {
    db::RowSet rows(c, QStringLiteral("select num from sbjl where id='") + db::escaped(prefix) +
                           QStringLiteral("'order by num desc"));
    rows.open();
    if (rows.eof()) return std::nullopt;
    return rows.integer(QStringLiteral("num"));
}

}  // namespace

ParseResult parseAssetNumber(const QString& text) {
    ParseResult r;
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    if (dash < 0) {
        r.error = ParseError::Malformed;
        return r;
    }
    if (dash == text.size() - 1) {
        r.error = ParseError::Incomplete;
        return r;
    }
    const QString letters = text.left(dash);
    bool prefixOk = !letters.isEmpty() && letters.size() <= kMaxPrefixLetters;
    for (QChar ch : letters) prefixOk = prefixOk && isPrefixLetter(ch);
    const QString digits = text.mid(dash + 1);
    bool digitsOk = true;
    for (QChar ch : digits) digitsOk = digitsOk && ch >= u'0' && ch <= u'9';
    bool fits = false;
    const int number = digits.toInt(&fits);
    if (!prefixOk || !digitsOk || !fits) {
        r.error = ParseError::Malformed;
        return r;
    }
    r.value = {text.left(dash + 1), number};
    return r;
}

QString malformedMessage() {
    return QStringLiteral("编号栏输入格式错误，请重新输入！例如：JSJ-121");
}

QString incompleteMessage() {
    return QStringLiteral("编号栏输入不全，请补齐！例如：JSJ-121");
}

QString formatAssetNumber(const QString& prefix, int number) {
    return prefix + QString::number(number);
}

QString formatAssetNumber(const AssetNumber& n) {
    return formatAssetNumber(n.prefix, n.number);
}

void takeNumberingTurn(db::Connection& c) {
    c.takeTurn(QStringLiteral("asset numbers"));
}

bool isNumberTaken(db::Connection& c, const QString& prefix, int number) {
    db::RowSet rows(c, QStringLiteral("select ID1 from sbjl where id='") + db::escaped(prefix) +
                           QStringLiteral("' and num=") + QString::number(number));
    rows.open();
    return !rows.eof();
}

int firstFreeNumber(db::Connection& c, const QString& prefix, int from, qint64 ownSerial) {
    const QString p = db::quoted(prefix);
    const QString own = QString::number(ownSerial);
    // Is `from` itself free?
    db::RowSet at(c, QStringLiteral("select ID1 from sbjl where id=") + p +
                         QStringLiteral(" and num=") + QString::number(from) +
                         QStringLiteral(" and ID1<>") + own);
    at.open();
    if (at.eof()) return from;
    // `from` is taken: the answer is one above the first taken number, from `from` upwards,
    // whose successor is free. The (id, num) index delivers the numbers in order, so the
    // engine stops at the end of the run instead of stepping through it one look-up at a time.
    // The successor is looked up by a counting subquery rather than NOT EXISTS: a database
    // server turns NOT EXISTS into a join, which it plans as a scan of the whole run for every
    // number while its statistics do not know the prefix yet (a batch just saved).
    db::RowSet end(c, QStringLiteral("select min(a.num) as runend from sbjl a where a.id=") + p +
                          QStringLiteral(" and a.num>=") + QString::number(from) +
                          QStringLiteral(" and a.ID1<>") + own +
                          QStringLiteral(" and (select count(*) from sbjl b where b.id=") + p +
                          QStringLiteral(" and b.num=a.num+1 and b.ID1<>") + own +
                          QStringLiteral(")=0"));
    end.open();
    return end.integer(QStringLiteral("runend")) + 1;
}

std::optional<int> registeredMax(db::Connection& c, const QString& prefix) {
    db::RowSet rows(c, idupperRow(prefix));
    rows.open();
    if (rows.eof()) return std::nullopt;
    return rows.integer(QStringLiteral("max"));
}

RegistryChange noteNumberIssued(db::Connection& c, const QString& prefix, int number) {
    RegistryChange change;
    db::RowSet rows(c, idupperRow(prefix));
    rows.open();
    if (rows.eof()) {
        rows.append();
        rows.setValue(QStringLiteral("idup"), prefix);
        rows.setValue(QStringLiteral("max"), number);
        rows.post();
        change.inserted = true;
    } else if (rows.integer(QStringLiteral("max")) < number) {
        rows.edit();
        rows.setValue(QStringLiteral("max"), number);
        rows.post();
    }
    return change;
}

RegistryChange noteNumberReleased(db::Connection& c, const QString& prefix, int number) {
    RegistryChange change;
    db::RowSet rows(c, idupperRow(prefix));
    rows.open();
    if (rows.eof()) {
        change.missing = true;
        return change;
    }
    if (rows.integer(QStringLiteral("max")) != number) return change;
    const std::optional<int> highest = highestNumberInUse(c, prefix);
    if (!highest) {
        rows.remove();
        change.deleted = true;
        return change;
    }
    rows.edit();
    rows.setValue(QStringLiteral("max"), *highest);
    rows.post();
    return change;
}

NameDefaults nameDefaults(db::Connection& c, const QString& name, const QString& category) {
    NameDefaults d;
    if (name.isEmpty()) return d;
    const QString byName = QStringLiteral("select * from sortb where name=") + db::quoted(name);
    db::RowSet own(c, byName + QStringLiteral(" and sort=") + db::quoted(category));
    own.open();
    if (!own.eof()) {
        d.prefix = own.text(QStringLiteral("bht"));
        d.byLocation = own.yesNo(QStringLiteral("wzorgr"));
        d.source = NameDefaults::Source::NameInCategory;
        return d;
    }
    db::RowSet elsewhere(c, byName);
    elsewhere.open();
    if (!elsewhere.eof()) {
        d.prefix = elsewhere.text(QStringLiteral("bht"));
        d.byLocation = elsewhere.yesNo(QStringLiteral("wzorgr"));
        d.source = NameDefaults::Source::NameElsewhere;
        return d;
    }
    db::RowSet sort(c, QStringLiteral("select * from sortproc where sort='") +
                           db::escaped(category) + QLatin1Char('\''));
    sort.open();
    if (!sort.eof()) {
        d.prefix = sort.text(QStringLiteral("title"));
        d.source = NameDefaults::Source::CategoryDefault;
    }
    return d;
}

QString proposedNumber(db::Connection& c, const QString& prefixLetters) {
    if (prefixLetters.isEmpty()) return QString();
    db::RowSet rows(c, QStringLiteral("select * from idupper where idup='") +
                           db::escaped(prefixLetters) + QStringLiteral("-'"));
    rows.open();
    if (rows.eof()) return prefixLetters + QStringLiteral("-1");
    return formatAssetNumber(rows.text(QStringLiteral("idup")),
                             rows.integer(QStringLiteral("max")) + 1);
}

}  // namespace fx::numbering
