#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <string>
#include <vector>

class QIODevice;

namespace fx::import {

// A pull reader of a worksheet part's XML, for the sheet alone: a register of 100000 rows is a
// part of some 50 MB, where a general XML reader spends most of the import's reading time.
// It reads the device in pieces (never the whole part in memory) and checks what a sheet
// needs: elements properly nested and closed, one root, quoted attributes, the predefined and
// numeric entities, comments, processing instructions and CDATA sections. A document type
// declaration, which no worksheet has, is refused as damage, and so is everything else that is
// not well formed: next() throws ReadError with the damaged-file message.
class SheetXml {
public:
    enum class Token { StartElement, EndElement, Text, End };

    explicit SheetXml(QIODevice& device);

    Token next();
    // The local name (without a namespace prefix) of the element just started or ended.
    QByteArrayView name() const { return name_; }
    // An attribute of the element just started, by its qualified name, with its entities
    // replaced; empty when absent. Valid until the next call of next() or attribute().
    QByteArrayView attribute(QByteArrayView qualifiedName);
    // The text just read (character data or a CDATA section), valid until the next call of
    // next(); appendText() adds it, as UTF-8, to out.
    QString text() const;
    void appendText(std::string& out) const;

private:
    bool more();                       // reads another piece; false at the part's end
    char at(qsizetype offset);         // the byte at pos_ + offset, reading more as needed
    qsizetype find(QByteArrayView s);  // offset of s from pos_, reading more as needed
    void startTag();
    void endTag();
    Token textOrEnd();
    [[noreturn]] static void damaged();

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype pos_ = 0;  // where the next token starts
    qsizetype end_ = 0;  // bytes of buffer_ that hold data
    bool atEnd_ = false;

    std::vector<std::string> open_;  // qualified names of the open elements
    qsizetype depth_ = 0;
    bool rootSeen_ = false;
    bool pendingEnd_ = false;  // an empty element <x/> ends right after it starts

    QByteArrayView name_;
    std::vector<std::pair<QByteArrayView, QByteArrayView>> attributes_;
    QByteArray decoded_;  // attribute() with entities
    QByteArrayView text_;
    bool textIsRaw_ = false;  // a CDATA section: no entities
};

}  // namespace fx::import
