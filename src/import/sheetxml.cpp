#include "sheetxml.h"

#include <QIODevice>
#include <cstring>
#include <string_view>

#include "sheettable.h"
#include "zipentry.h"

namespace fx::import {

namespace {

// Bytes read from the part at a time.
constexpr qsizetype kPiece = 256 * 1024;
// No tag or text of a sheet comes near this (Excel holds at most 32767 characters in a cell).
constexpr qsizetype kMaxToken = 16 * 1024 * 1024;

bool isSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

bool isBlank(QByteArrayView s) {
    for (const char ch : s)
        if (!isSpace(ch)) return false;
    return true;
}

QByteArrayView localName(QByteArrayView qualified) {
    const qsizetype colon = qualified.lastIndexOf(':');
    return colon < 0 ? qualified : qualified.sliced(colon + 1);
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Appends s with its line ends made "\n" (as XML reads them) and, unless raw, its entities
// replaced. Throws on an entity XML does not define.
void decodeInto(QByteArrayView s, bool raw, std::string& out) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char ch = s[i];
        if (ch == '\r') {
            out += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
            continue;
        }
        if (ch != '&' || raw) {
            out += ch;
            continue;
        }
        const qsizetype semicolon = s.indexOf(';', i + 1);
        if (semicolon < 0 || semicolon - i > 12) throw ReadError(text::damagedXlsx());
        const QByteArrayView name = s.sliced(i + 1, semicolon - i - 1);
        i = semicolon;
        if (name == "lt") {
            out += '<';
        } else if (name == "gt") {
            out += '>';
        } else if (name == "amp") {
            out += '&';
        } else if (name == "quot") {
            out += '"';
        } else if (name == "apos") {
            out += '\'';
        } else if (name.startsWith('#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && name[1] == 'x';
            const uint cp = name.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (!ok || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
                throw ReadError(text::damagedXlsx());
            appendUtf8(out, char32_t(cp));
        } else {
            throw ReadError(text::damagedXlsx());
        }
    }
}

}  // namespace

SheetXml::SheetXml(QIODevice& device) : device_(device) {}

void SheetXml::damaged() {
    throw ReadError(text::damagedXlsx());
}

bool SheetXml::more() {
    if (atEnd_) return false;
    if (pos_ > 0) {
        std::memmove(buffer_.data(), buffer_.constData() + pos_, std::size_t(end_ - pos_));
        end_ -= pos_;
        pos_ = 0;
    }
    if (end_ > kMaxToken) damaged();
    const qsizetype want = qMax(kPiece, end_);
    if (buffer_.size() < end_ + want) buffer_.resize(end_ + want);
    const qint64 n = device_.read(buffer_.data() + end_, want);
    if (n <= 0) {
        atEnd_ = true;
        return false;
    }
    end_ += qsizetype(n);
    return true;
}

char SheetXml::at(qsizetype offset) {
    while (pos_ + offset >= end_)
        if (!more()) damaged();
    return buffer_.constData()[pos_ + offset];
}

qsizetype SheetXml::find(QByteArrayView s) {
    qsizetype from = 0;
    for (;;) {
        const std::string_view hay(buffer_.constData() + pos_, std::size_t(end_ - pos_));
        const std::size_t found =
            hay.find(std::string_view(s.data(), std::size_t(s.size())), std::size_t(from));
        if (found != std::string_view::npos) return qsizetype(found);
        from = qMax<qsizetype>(0, end_ - pos_ - s.size() + 1);
        if (!more()) return -1;
    }
}

SheetXml::Token SheetXml::next() {
    if (pendingEnd_) {
        pendingEnd_ = false;
        --depth_;
        return Token::EndElement;
    }
    for (;;) {
        if (pos_ >= end_ && !more()) {
            if (depth_ > 0 || !rootSeen_) damaged();
            return Token::End;
        }
        if (buffer_.constData()[pos_] != '<') {
            if (textOrEnd() == Token::Text) return Token::Text;
            continue;
        }
        const char second = at(1);
        if (second == '/') {
            endTag();
            return Token::EndElement;
        }
        if (second == '?') {
            const qsizetype end = find("?>");
            if (end < 0) damaged();
            pos_ += end + 2;
            continue;
        }
        if (second == '!') {
            if (at(2) == '-' && at(3) == '-') {
                const qsizetype end = find("-->");
                if (end < 4) damaged();
                pos_ += end + 3;
                continue;
            }
            static constexpr char cdata[] = "<![CDATA[";
            for (qsizetype i = 2; i < 9; ++i)
                if (at(i) != cdata[i]) damaged();  // a document type or other declaration
            if (depth_ == 0) damaged();
            const qsizetype end = find("]]>");
            if (end < 0) damaged();
            text_ = QByteArrayView(buffer_.constData() + pos_ + 9, end - 9);
            textIsRaw_ = true;
            pos_ += end + 3;
            return Token::Text;
        }
        startTag();
        return Token::StartElement;
    }
}

SheetXml::Token SheetXml::textOrEnd() {
    const qsizetype end = find("<");
    const qsizetype length = end < 0 ? end_ - pos_ : end;
    QByteArrayView text(buffer_.constData() + pos_, length);
    if (depth_ == 0) {
        if (!rootSeen_ && text.startsWith("\xEF\xBB\xBF")) text = text.sliced(3);
        // Only blanks may stand outside the root element.
        if (!isBlank(text)) damaged();
        pos_ += length;
        return Token::End;
    }
    if (end < 0) damaged();  // the part ends inside an element
    text_ = text;
    textIsRaw_ = false;
    pos_ += length;
    return Token::Text;
}

void SheetXml::startTag() {
    if (depth_ == 0 && rootSeen_) damaged();
    // The tag's end: the first '>' outside quotes.
    qsizetype close = 1;
    char quote = 0;
    for (;; ++close) {
        const char ch = at(close);
        if (quote) {
            if (ch == quote)
                quote = 0;
            else if (ch == '<')
                damaged();
        } else if (ch == '"' || ch == '\'') {
            quote = ch;
        } else if (ch == '>') {
            break;
        } else if (ch == '<') {
            damaged();
        }
        if (close > kMaxToken) damaged();
    }
    QByteArrayView tag(buffer_.constData() + pos_ + 1, close - 1);
    pos_ += close + 1;
    const bool empty = tag.endsWith('/');
    if (empty) tag.chop(1);
    qsizetype i = 0;
    while (i < tag.size() && !isSpace(tag[i])) ++i;
    const QByteArrayView qualified = tag.first(i);
    if (qualified.isEmpty()) damaged();
    attributes_.clear();
    for (;;) {
        while (i < tag.size() && isSpace(tag[i])) ++i;
        if (i >= tag.size()) break;
        const qsizetype nameStart = i;
        while (i < tag.size() && tag[i] != '=' && !isSpace(tag[i])) ++i;
        const QByteArrayView attribute = tag.sliced(nameStart, i - nameStart);
        while (i < tag.size() && isSpace(tag[i])) ++i;
        if (attribute.isEmpty() || i >= tag.size() || tag[i] != '=') damaged();
        ++i;
        while (i < tag.size() && isSpace(tag[i])) ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) damaged();
        const char q = tag[i++];
        const qsizetype valueStart = i;
        while (i < tag.size() && tag[i] != q) ++i;
        if (i >= tag.size()) damaged();
        attributes_.emplace_back(attribute, tag.sliced(valueStart, i - valueStart));
        ++i;
    }
    if (std::size_t(depth_) == open_.size()) open_.emplace_back();
    open_[std::size_t(depth_)].assign(qualified.data(), std::size_t(qualified.size()));
    ++depth_;
    rootSeen_ = true;
    name_ = localName(qualified);
    pendingEnd_ = empty;
}

void SheetXml::endTag() {
    const qsizetype close = find(">");
    if (close < 0) damaged();
    QByteArrayView qualified(buffer_.constData() + pos_ + 2, close - 2);
    while (!qualified.isEmpty() && isSpace(qualified.back())) qualified.chop(1);
    pos_ += close + 1;
    if (depth_ == 0) damaged();
    const std::string& open = open_[std::size_t(depth_ - 1)];
    if (std::string_view(qualified.data(), std::size_t(qualified.size())) != open) damaged();
    --depth_;
    name_ = localName(qualified);
}

QByteArrayView SheetXml::attribute(QByteArrayView qualifiedName) {
    for (const auto& [name, value] : attributes_) {
        if (name != qualifiedName) continue;
        if (!value.contains('&') && !value.contains('\r')) return value;
        std::string out;
        decodeInto(value, false, out);
        decoded_ = QByteArray(out.data(), qsizetype(out.size()));
        return decoded_;
    }
    return {};
}

void SheetXml::appendText(std::string& out) const {
    decodeInto(text_, textIsRaw_, out);
}

QString SheetXml::text() const {
    if (!text_.contains('&') && !text_.contains('\r')) return QString::fromUtf8(text_);
    std::string out;
    appendText(out);
    return QString::fromUtf8(out.data(), qsizetype(out.size()));
}

}  // namespace fx::import
