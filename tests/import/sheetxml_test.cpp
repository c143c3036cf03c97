#include <gtest/gtest.h>

#include <QBuffer>

#include "sheettable.h"
#include "sheetxml.h"

namespace fx::import {
namespace {

// The tokens of a document, one line each: "<name attr=value>", "</name>", "'text'"; blank
// texts are left out.
QStringList tokens(const QByteArray& xml, const QList<QByteArray>& attributes = {}) {
    QByteArray data = xml;
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    SheetXml reader(device);
    QStringList out;
    for (;;) {
        const SheetXml::Token t = reader.next();
        if (t == SheetXml::Token::End) break;
        if (t == SheetXml::Token::StartElement) {
            QString line = QLatin1Char('<') + QString::fromUtf8(reader.name());
            for (const QByteArray& a : attributes) {
                const QByteArrayView v = reader.attribute(a);
                if (!v.isEmpty())
                    line += QLatin1Char(' ') + QString::fromUtf8(a) + QLatin1Char('=') +
                            QString::fromUtf8(v);
            }
            out << line + QLatin1Char('>');
        } else if (t == SheetXml::Token::EndElement) {
            out << QStringLiteral("</") + QString::fromUtf8(reader.name()) + QLatin1Char('>');
        } else if (!reader.text().trimmed().isEmpty()) {
            out << QLatin1Char('\'') + reader.text() + QLatin1Char('\'');
        }
    }
    return out;
}

TEST(SheetXml, ReadsElementsAttributesTextsAndEmptyElements) {
    EXPECT_EQ(
        tokens("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a comment -->"
               "<x:worksheet xmlns:x=\"u\"><x:row r='2' s = \"3\"><c r=\"A2\"/>"
               "<v>1 &lt; 2 &amp;&#x4E2D;&#25991;</v></x:row></x:worksheet>",
               {"r", "s"}),
        (QStringList{QStringLiteral("<worksheet>"), QStringLiteral("<row r=2 s=3>"),
                     QStringLiteral("<c r=A2>"), QStringLiteral("</c>"), QStringLiteral("<v>"),
                     QStringLiteral("'1 < 2 &中文'"), QStringLiteral("</v>"),
                     QStringLiteral("</row>"), QStringLiteral("</worksheet>")}));
}

TEST(SheetXml, CdataIsTakenAsItIsAndLineEndsReadAsNewLines) {
    EXPECT_EQ(tokens("<a><t><![CDATA[x &amp; <y>]]></t><t>one\r\ntwo\rthree</t></a>"),
              (QStringList{QStringLiteral("<a>"), QStringLiteral("<t>"),
                           QStringLiteral("'x &amp; <y>'"), QStringLiteral("</t>"),
                           QStringLiteral("<t>"), QStringLiteral("'one\ntwo\nthree'"),
                           QStringLiteral("</t>"), QStringLiteral("</a>")}));
}

TEST(SheetXml, AttributeValuesHaveTheirEntitiesReplaced) {
    EXPECT_EQ(tokens("<a t=\"x&amp;y&quot;&apos;\"/>", {"t"}),
              (QStringList{QStringLiteral("<a t=x&y\"'>"), QStringLiteral("</a>")}));
}

TEST(SheetXml, ATagCutAcrossPiecesOfTheStreamReadsWhole) {
    QByteArray xml("<worksheet><sheetData>");
    for (int i = 0; i < 30000; ++i)
        xml += "<row r=\"" + QByteArray::number(i + 1) + "\"><c><v>" + QByteArray::number(i) +
               "</v></c></row>";
    xml += "</sheetData></worksheet>";
    const QStringList t = tokens(xml, {"r"});
    ASSERT_EQ(t.size(), 4 + 30000 * 7);
    EXPECT_EQ(t[2 + 7 * 29999], QStringLiteral("<row r=30000>"));
    EXPECT_EQ(t[2 + 7 * 29999 + 3], QStringLiteral("'29999'"));
}

TEST(SheetXml, RefusesWhatIsNotWellFormed) {
    const char* damaged[] = {
        "",                                      // no root
        "<a><b></a></b>",                        // crossed
        "<a><b>",                                // never closed
        "<a></a><b></b>",                        // two roots
        "text<a/>",                              // text outside the root
        "<a x=\"1></a>",                         // quote never closed
        "<a x=1></a>",                           // unquoted attribute
        "<a x></a>",                             // attribute without a value
        "<a>&bogus;</a>",                        // unknown entity
        "<a>&#0;</a>",                           // no such character
        "<a>&amp</a>",                           // entity without its end
        "<!DOCTYPE a [<!ENTITY e \"x\">]><a/>",  // a document type
        "<a><![CDATA[open</a>",                  // CDATA never closed
        "<a><!-- open</a>",                      // comment never closed
        "</a>",                                  // end without start
        "<>",                                    // no name
    };
    for (const char* xml : damaged) {
        EXPECT_THROW(
            {
                const QStringList t = tokens(QByteArray(xml));
                Q_UNUSED(t);
            },
            ReadError)
            << xml;
    }
}

}  // namespace
}  // namespace fx::import
