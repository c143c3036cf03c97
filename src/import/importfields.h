#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

#include "sheettable.h"

// The card fields a column of an imported file can fill, their captions and the captions
// offices commonly use for them.

namespace fx::import {

enum class Field {
    None,  // the column is ignored
    AssetNumber,
    Category,
    Name,
    Model,
    Configuration,
    Use,
    Location,  // a place, or the person holding the asset (位置(使用者))
    User,      // the person using the asset
    Custodian,
    Source,
    Life,
    PurchaseDate,
    AllocationDate,
    Price,
    Remarks,
    Scrapped,
};

// Every field but None, in the order of the import template's columns.
const std::vector<Field>& importFields();

// The card's caption of a field ("资产类别"); empty for None.
QString fieldCaption(Field f);

// The field a column caption stands for, by the card's captions and their common synonyms
// ("原值", "金额" and "购买价格" for the price, ...); blanks, full-width blanks, colons and
// letter case do not count. None when the caption is not known.
Field fieldForCaption(const QString& caption);

// The field named by a caption or by the card's column name ("zclb") in a --map option; None
// when unknown.
Field fieldForName(const QString& name);

// The most characters the field's column holds; 0 for fields that are not text.
int fieldWidth(Field f);

// Which field each column of a header row fills: the known captions mapped, the rest None.
// A field is mapped at most once; a second column with the same meaning is ignored.
std::vector<Field> mapHeader(const QStringList& header);

// The mapping with column mapped to f; another column that held f is unmapped, so that a
// field is filled from one column only. A column outside the mapping extends it.
std::vector<Field> remap(std::vector<Field> mapping, int column, Field f);

// The first row, among the first 30 of the sheet, with at least two cells whose captions are
// known; -1 when there is none. Returns an index into rows.
int findHeaderRow(const std::vector<SheetRow>& rows);

}  // namespace fx::import
