#pragma once

#include <QString>

#include "querystate.h"

namespace fx::query {

// What a result kind decides for the results window.
struct KindTraits {
    bool historyDatabase;      // runs on dbjl.his instead of gdzc.qsk
    const char* orderBy;       // appended at opening (kind 0 uses the order text instead)
    const char* userFile;      // user layout file, after the data directory and the user name
    const char* defaultFile;   // default layout file, after the start directory
    const char* firstTitle;    // title of the first column of the default layout
    bool pickable;             // a double-click or Enter picks a row
    bool sortable;             // a title click re-sorts
    bool exitMovesToSelected;  // "退出" moves to the first selected row
};

// The traits of a kind; kinds outside 0..10 are treated as the asset query.
const KindTraits& traitsOf(ResultKind kind);

// The user layout file of a kind: dataDir (ending with "/") + user + "cx.cjg" and siblings.
QString userLayoutPath(ResultKind kind, const QString& dataDir, const QString& user);
// The default layout file of a kind installed with the program: startDir + "/stdcxjg" etc.
QString defaultLayoutPath(ResultKind kind, const QString& startDir);

// The statement a window of this kind runs at opening: the query text followed by the order
// text (kind 0) or by the kind's own ORDER BY.
QString openingStatement(const QueryState& state);

// The ORDER BY a title click asks for: by prefix and number tail for the asset number bh (so
// that JSJ-9 comes before JSJ-10), otherwise by the column's field.
QString titleOrderBy(const QString& field, bool ascending);

}  // namespace fx::query
