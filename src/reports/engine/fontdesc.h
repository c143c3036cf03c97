#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace fx::report {

// A font as a report names it: the family the form was designed with ("宋体", "黑体",
// "楷体_GB2312", "Arial"), the size in points and the style. The display list keeps this
// description, not a QFont, so that saved reports do not depend on the fonts of the machine.
struct FontDesc {
    QString family = QStringLiteral("宋体");
    qreal pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

size_t qHash(const FontDesc& desc, size_t seed = 0);

// The installed families that stand in for a design family, best first. The Chinese families
// map to the Arphic and WenQuanYi fonts; a Latin family keeps a Chinese fallback so that
// Chinese text in it (the slip's Arial list) still shows every character.
QStringList mappedFamilies(const QString& designFamily);

// The font to paint or measure `desc` with, at `pointSize` (the caller scales it for the
// device). Hinting is off so that advances scale linearly and measured widths match the page.
QFont mappedFont(const FontDesc& desc, qreal pointSize);
inline QFont mappedFont(const FontDesc& desc) {
    return mappedFont(desc, desc.pointSize);
}

}  // namespace fx::report
