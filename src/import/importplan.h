#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

#include "importfields.h"
#include "itemkind.h"
#include "sheettable.h"

namespace fx::db {
class Connection;
}

// The check of an imported sheet: every data row turned into the asset it will become, each
// problem named by row and column, the dictionary items the accepted rows need, and the asset
// numbers of the rows that bring none. Nothing is written.

namespace fx::import {

// Choices the user makes about a sheet; empty values mean "as found".
struct ImportOptions {
    int headerRow = -1;          // index into SheetTable::rows; -1: found by findHeaderRow
    std::vector<Field> mapping;  // field per column of the header row; empty: by the captions
    // Changes to what is proposed for new dictionary items: the number prefix of a new category
    // (letters without the dash) and the months of a new service life whose text gives none.
    QHash<QString, QString> categoryPrefixes;
    QHash<QString, int> lifeMonths;
};

// One asset as it will be stored.
struct AssetRow {
    int row = 0;  // the file's row number
    QString prefix;
    int number = 0;
    bool numberFromFile = false;  // false: numbered by the program
    QString zclb, sbmc, sbxh, sbpz, yt, wz, bgr, ly, bxq, other;
    bool worp = true;
    QDate gmrq, pzrq;
    double gmjg = 0;
    bool ybf = false;
};

// Something that keeps a row from being imported.
struct Problem {
    int row = 0;     // the file's row number
    QString column;  // the column's caption in the file
    QString message;
};

// A dictionary item the accepted rows need, with the attributes it will be added with.
struct Addition {
    dictionary::ItemKind kind = dictionary::ItemKind::None;
    QString text;
    QString owner;          // the category of a name or use, the name of a model
    QString prefix;         // category: default prefix; name: its prefix (letters, no dash)
    int number = 0;         // category: residual rate in percent; life: months
    bool flag = true;       // name: kept at a place (false: held by a person)
    QString configuration;  // model: its configuration
    std::vector<int> rows;  // the file's rows that need it
};

struct ImportPlan {
    int headerRow = -1;  // index into SheetTable::rows
    QStringList header;
    std::vector<Field> mapping;
    int dataRows = 0;               // rows below the header
    std::vector<AssetRow> assets;   // the rows that pass the check, in file order
    std::vector<Problem> problems;  // in row order
    std::vector<Addition> additions;
    std::vector<int> refusedRows;  // the file's rows that have a problem, in order
    bool allAccepted() const { return problems.empty(); }
};

// Checks a sheet against the register and dictionary of the connection. Throws ReadError when
// no header row can be found or the mapping leaves out the category or the name, and db::DbError
// for an engine error.
ImportPlan planImport(db::Connection& c, const SheetTable& table, const ImportOptions& options);

// The kind of a dictionary item as a clerk names it ("资产类别", "名称", ...).
QString additionKindName(dictionary::ItemKind kind);

}  // namespace fx::import
