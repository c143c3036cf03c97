#include "fontdesc.h"

#include <QHash>

namespace fx::report {

size_t qHash(const FontDesc& desc, size_t seed) {
    return qHashMulti(seed, desc.family, desc.pointSize, desc.bold, desc.italic, desc.underline);
}

QStringList mappedFamilies(const QString& designFamily) {
    const QString uming = QStringLiteral("AR PL UMing CN");
    const QString ukai = QStringLiteral("AR PL UKai CN");
    const QString zenhei = QStringLiteral("WenQuanYi Zen Hei");
    const QString family = designFamily.trimmed();
    if (family == QStringLiteral("宋体") || family == QStringLiteral("新宋体") ||
        family.compare(QStringLiteral("SimSun"), Qt::CaseInsensitive) == 0 || family.isEmpty())
        return {uming, QStringLiteral("AR PL UMing"), zenhei};
    if (family == QStringLiteral("楷体_GB2312") || family == QStringLiteral("楷体") ||
        family.compare(QStringLiteral("KaiTi_GB2312"), Qt::CaseInsensitive) == 0)
        return {ukai, QStringLiteral("AR PL UKai"), uming};
    if (family == QStringLiteral("黑体") ||
        family.compare(QStringLiteral("SimHei"), Qt::CaseInsensitive) == 0)
        return {zenhei, uming};
    if (family.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0 ||
        family.compare(QStringLiteral("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("DejaVu Sans"), uming};
    // A family the machine may have itself; Chinese characters still fall back to UMing.
    return {family, uming};
}

QFont mappedFont(const FontDesc& desc, qreal pointSize) {
    QFont font;
    font.setFamilies(mappedFamilies(desc.family));
    font.setPointSizeF(pointSize > 0 ? pointSize : 1);
    font.setBold(desc.bold);
    font.setItalic(desc.italic);
    font.setUnderline(desc.underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

}  // namespace fx::report
