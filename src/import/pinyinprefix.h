#pragma once

#include <QString>

namespace fx::import {

// The number prefix proposed for a new category: the initials of its name's syllables in
// pinyin ("电脑" -> "DN", "办公家具" -> "BGJJ"), through ICU's Han-Latin transliteration;
// letters of a Latin word count as one initial. Upper case, at most eight letters, without the
// dash; "ZC" (资产) when the name gives no letter at all.
QString pinyinPrefix(const QString& name);

}  // namespace fx::import
