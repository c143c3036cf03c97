#include "quote.h"

namespace fx::db {

QString escaped(const QString& value) {
    QString s = value;
    s.replace(QLatin1Char('\''), QStringLiteral("''"));
    return s;
}

QString quoted(const QString& value) {
    return QLatin1Char('\'') + escaped(value) + QLatin1Char('\'');
}

QString jetDate(const QDate& date) {
    return QLatin1Char('#') + date.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('#');
}

}  // namespace fx::db
