#include "pinyinprefix.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace fx::import {

namespace {

// The transliterator is costly to build; one serves the whole run (one thread).
icu::Transliterator* transliterator() {
    static std::unique_ptr<icu::Transliterator> t = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(icu::Transliterator::createInstance(
            icu::UnicodeString::fromUTF8("Han-Latin; Latin-ASCII"), UTRANS_FORWARD, status));
        if (U_FAILURE(status)) made.reset();
        return made;
    }();
    return t.get();
}

}  // namespace

QString pinyinPrefix(const QString& name) {
    icu::UnicodeString u(reinterpret_cast<const UChar*>(name.utf16()), int32_t(name.size()));
    if (icu::Transliterator* t = transliterator()) t->transliterate(u);
    const QString latin =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(u.getBuffer()), u.length());
    QString prefix;
    bool inWord = false;
    for (const QChar ch : latin) {
        const bool letter = (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z');
        if (letter && !inWord && prefix.size() < 8) prefix += ch.toUpper();
        inWord = letter;
    }
    return prefix.isEmpty() ? QStringLiteral("ZC") : prefix;
}

}  // namespace fx::import
