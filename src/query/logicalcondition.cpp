#include "logicalcondition.h"

#include <QRegularExpression>

#include "quote.h"

namespace fx::query {

const std::vector<LogicalField>& logicalFields() {
    static const std::vector<LogicalField> fields = {
        {"资产类别", "zclb", FieldKind::Text},
        {"名称", "sbmc", FieldKind::Text},
        {"用途", "yt", FieldKind::Text},
        {"型号", "sbxh", FieldKind::Text},
        {"配置", "sbpz", FieldKind::Text},
        {"位置(使用者)", "wz", FieldKind::Text},
        {"保管人", "bgr", FieldKind::Text},
        {"来源方式", "ly", FieldKind::Text},
        {"购买价格", "gmjg", FieldKind::Decimal},
        {"购买日期", "gmrq", FieldKind::Date},
        {"使用年限", "bxq", FieldKind::Text},
        {"备注", "other", FieldKind::Text},
        {"已借出", "yjc", FieldKind::Flag},
        {"已报废", "ybf", FieldKind::Flag},
        {"有维修记录", "wx", FieldKind::Flag},
        {"序号", "ID1", FieldKind::Integer},
        {"编号头", "sbjl.id", FieldKind::Text},
        {"编号尾", "num", FieldKind::Integer},
        {"存放方式", "worp", FieldKind::StorageMode},
        {"配置日期", "pzrq", FieldKind::Date},
    };
    return fields;
}

const LogicalField* logicalField(const QString& caption) {
    for (const LogicalField& f : logicalFields()) {
        if (caption == QString::fromUtf8(f.caption)) return &f;
    }
    return nullptr;
}

QStringList operatorsFor(FieldKind kind) {
    switch (kind) {
        case FieldKind::Decimal:
        case FieldKind::Integer:
        case FieldKind::Date:
            return {QStringLiteral("="),  QStringLiteral(">"),  QStringLiteral("<"),
                    QStringLiteral(">="), QStringLiteral("<="), QStringLiteral("<>")};
        case FieldKind::Flag:
            return {QStringLiteral("是"), QStringLiteral("否")};
        case FieldKind::StorageMode:
            return {QStringLiteral("按存放地点"), QStringLiteral("按使用者")};
        case FieldKind::Text:
            break;
    }
    return {QStringLiteral("="), QStringLiteral("包含")};
}

bool isDecimalNumber(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    return re.match(text).hasMatch();
}

bool isWholeNumber(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^[+-]?\\d{1,9}$"));
    return re.match(text).hasMatch();
}

std::optional<QDate> parseConditionDate(const QString& text, const QDate& today) {
    static const QRegularExpression re(QStringLiteral("^(?:(\\d{1,4})-)?(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    int year = today.year();
    const QString y = m.captured(1);
    if (!y.isEmpty()) {
        year = y.toInt();
        // A two-digit year lies in the current century.
        if (y.size() <= 2) year += today.year() / 100 * 100;
    }
    const QDate d(year, m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid()) return std::nullopt;
    return d;
}

QString decimalMessage() {
    return QStringLiteral("您输入的格式不对,请重新输入。例如：1.00");
}

QString dateMessage() {
    return QStringLiteral("您输入的格式不对,请重新输入。例如：2005-4-3或05-4-3或4-3");
}

QString integerMessage() {
    return QStringLiteral("您输入的格式不对,必须为整数,请重新输入。例如：8");
}

QString incompleteMessage() {
    return QStringLiteral("请先把条件填写完整再按确定键。");
}

std::optional<QString> rowCondition(const LogicalField& field, const QString& op,
                                    const QString& value) {
    const QString c = QString::fromUtf8(field.column);
    if (op == QStringLiteral("是") || op == QStringLiteral("按存放地点")) return c;
    if (op == QStringLiteral("否") || op == QStringLiteral("按使用者")) {
        return QStringLiteral("not ") + c;
    }
    if (op.isEmpty() || value.isEmpty()) return std::nullopt;
    if (op == QStringLiteral("包含")) {
        return c + QStringLiteral(" like '%") + db::escaped(value) + QStringLiteral("%'");
    }
    switch (field.kind) {
        case FieldKind::Date: {
            // The value box holds the checked yyyy-mm-dd form.
            const QDate d = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
            if (!d.isValid()) return std::nullopt;
            return c + op + QLatin1Char('#') + d.toString(QStringLiteral("yyyy-MM-dd")) +
                   QLatin1Char('#');
        }
        case FieldKind::Decimal:
            if (!isDecimalNumber(value)) return std::nullopt;
            return c + op + value;
        case FieldKind::Integer:
            if (!isWholeNumber(value)) return std::nullopt;
            return c + op + value;
        case FieldKind::Text:
        case FieldKind::Flag:
        case FieldKind::StorageMode:
            break;
    }
    return c + op + db::quoted(value);
}

}  // namespace fx::query
