#include "historyquery.h"

#include <QStringList>

#include "connection.h"
#include "quote.h"
#include "rowset.h"

namespace fx::history {

namespace {

QString dayText(const QDate& d) {
    return d.toString(Qt::ISODate);
}

// Tabs and line breaks of a value would split the printed line.
QString oneLine(QString s) {
    s.replace(QLatin1Char('\t'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return s;
}

}  // namespace

QString assetHistoryStatement(int serial) {
    return QStringLiteral("select * from czjl where id=") + QString::number(serial);
}

QString historyStatement(const HistoryFilter& filter) {
    QStringList conditions;
    // The time is 'yyyy-mm-dd hh:mm:ss' text: a day's rows sort from its date up to the next.
    if (filter.from.isValid())
        conditions << QStringLiteral("sj>=") + db::quoted(dayText(filter.from));
    if (filter.to.isValid())
        conditions << QStringLiteral("sj<") + db::quoted(dayText(filter.to.addDays(1)));
    if (!filter.user.isEmpty()) conditions << QStringLiteral("czy=") + db::quoted(filter.user);
    if (!filter.operation.isEmpty())
        conditions << QStringLiteral("cz=") + db::quoted(filter.operation);
    if (!filter.assetNumber.isEmpty())
        conditions << QStringLiteral("zcbh=") + db::quoted(filter.assetNumber);
    QString sql = QStringLiteral("select * from czjl");
    if (!conditions.isEmpty())
        sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    return sql;
}

QString newestFirst() {
    return QStringLiteral(" order by index desc");
}

int printHistory(db::Connection& history, const HistoryFilter& filter, QTextStream& out) {
    db::RowSet rows(history, historyStatement(filter) + QStringLiteral(" order by index asc"));
    rows.open();
    int count = 0;
    for (; !rows.eof(); rows.next()) {
        QStringList line;
        for (const char* f : {"sj", "czy", "gzz", "cz", "id", "zcbh", "bgnr"})
            line << oneLine(rows.text(QString::fromLatin1(f)));
        out << line.join(QLatin1Char('\t')) << '\n';
        ++count;
    }
    return count;
}

}  // namespace fx::history
