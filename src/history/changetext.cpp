#include "changetext.h"

#include <QDate>
#include <QHash>
#include <QStringList>

namespace fx::history {

QString fieldCaption(const QString& field) {
    static const QHash<QString, QString> captions = {
        {QStringLiteral("id"), QStringLiteral("编号头")},
        {QStringLiteral("num"), QStringLiteral("编号")},
        {QStringLiteral("zclb"), QStringLiteral("资产类别")},
        {QStringLiteral("sbmc"), QStringLiteral("名称")},
        {QStringLiteral("sbxh"), QStringLiteral("型号")},
        {QStringLiteral("sbpz"), QStringLiteral("设备配置")},
        {QStringLiteral("yt"), QStringLiteral("用途")},
        {QStringLiteral("worp"), QStringLiteral("按位置保管")},
        {QStringLiteral("wz"), QStringLiteral("位置(使用者)")},
        {QStringLiteral("bgr"), QStringLiteral("保管人")},
        {QStringLiteral("ly"), QStringLiteral("来源方式")},
        {QStringLiteral("bxq"), QStringLiteral("使用年限")},
        {QStringLiteral("gmrq"), QStringLiteral("购买日期")},
        {QStringLiteral("pzrq"), QStringLiteral("配置日期")},
        {QStringLiteral("gmjg"), QStringLiteral("购买价格")},
        {QStringLiteral("other"), QStringLiteral("备注")},
        {QStringLiteral("ybf"), QStringLiteral("已报废")},
        {QStringLiteral("yjc"), QStringLiteral("已借出")},
        {QStringLiteral("wx"), QStringLiteral("维修")},
        {QStringLiteral("wxjl"), QStringLiteral("维修记录")},
    };
    return captions.value(field, field);
}

QString valueText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QString();
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
        case QMetaType::QDate:
            return value.toDate().toString(Qt::ISODate);
        case QMetaType::Double:
            return QString::number(value.toDouble(), 'g', 15);
        default:
            return value.toString();
    }
}

QString changesText(const QList<FieldChange>& changes) {
    QStringList parts;
    for (const FieldChange& c : changes)
        parts << fieldCaption(c.field) + QStringLiteral("：") + c.before + QStringLiteral(" → ") +
                     c.after;
    return parts.join(QStringLiteral("；"));
}

}  // namespace fx::history
