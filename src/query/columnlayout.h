#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "querystate.h"

namespace fx::query {

// One column of the results grid: the field it shows, its title, width in pixels, alignment and
// whether it is shown.
struct LayoutColumn {
    enum class Align { Left, Right, Center };

    QString field;
    QString title;
    int width = 64;
    Align align = Align::Left;
    bool visible = true;

    friend bool operator==(const LayoutColumn&, const LayoutColumn&) = default;
};

using ColumnList = std::vector<LayoutColumn>;

// Layout files (user files "<user>cx.cjg" in the data directory, installed defaults "stdcxjg"
// and siblings in the start directory) hold a whole column list in display order, as UTF-8 text:
//
//     [fxasset columns 1]
//     # comment lines begin with '#'; blank lines are skipped
//     ID1<TAB>序号<TAB>42<TAB>center<TAB>shown
//     sbmc<TAB>名称<TAB>80<TAB>left<TAB>shown
//     ynum<TAB>使用月数<TAB>60<TAB>right<TAB>hidden
//
// one line per column: field, title, width (1..2000 pixels), alignment (left, right or center)
// and visibility (shown or hidden). The first line must be the header; a file whose lines do
// not all follow the pattern, or that holds no column, is damaged and is not read at all.

// Reads a layout file. Returns false, with a message for the user in *error, when the file is
// missing, unreadable or damaged; *columns is then left as it was.
bool readLayoutFile(const QString& path, ColumnList* columns, QString* error);
// Writes the whole list, replacing the file (written beside it first, then renamed into place,
// so that a failure never leaves half a file). Returns false with a message in *error.
bool writeLayoutFile(const QString& path, const ColumnList& columns, QString* error);

// The text of a layout file for a column list, and the list a text holds (false when damaged).
QString layoutText(const ColumnList& columns);
bool parseLayoutText(const QString& text, ColumnList* columns);

// The column list used when neither layout file can be read: the asset query arrangement.
ColumnList builtInColumns();

}  // namespace fx::query
