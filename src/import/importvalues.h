#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Cell texts turned into what the card stores, as a careful clerk would type them:
// - every text is trimmed of blanks of either width (the full-width blank U+3000 included), and
//   a single leading apostrophe (a spreadsheet's mark for "this is text") is dropped; other
//   apostrophes stay, the data-access layer quotes them;
// - line breaks stay only in the remarks (as "\n"); in every other field a line break and the
//   blanks around it become one blank, since those fields are single lines on the card;
// - in dates and prices, full-width digits, points, commas and minus signs are made half-width.

namespace fx::import {

// A text as stored; multiline keeps line breaks (remarks).
QString cleanText(const QString& cell, bool multiline = false);

// Full-width digits and punctuation of numbers made half-width (０-９, ．, ，, －, ／).
QString halfWidthDigits(const QString& text);

// A date in any of the forms: an Excel serial number (43845), 2020-01-15, 2020/1/15, 2020.1.15,
// 2020年1月15日, 20200115 (also with a time after the date). Nothing when the text is no date
// or the date does not exist.
std::optional<QDate> parseDate(const QString& cell);

// A price in yuan: thousands separators, "¥"/"￥", "元", "RMB" and blanks allowed ("¥1,234.50元").
// Nothing when the text is not a number or is negative.
std::optional<double> parsePrice(const QString& cell);

// A yes/no cell: 是/否, 已报废/未报废, TRUE/FALSE, Y/N, 1/0, √/×; empty is no. Nothing when
// the text says neither.
std::optional<bool> parseYesNo(const QString& cell);

// The months a service life stands for, read from its text: "5年" -> 60, "60个月" -> 60,
// "6个月" -> 6, "2年6个月" -> 30, "5" (years) -> 60, "十年" -> 120. 0 when the text gives no
// number of months from 1 to 1200.
int lifeMonths(const QString& life);

}  // namespace fx::import
