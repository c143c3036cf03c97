#include "resultkind.h"

#include <iterator>

namespace fx::query {

namespace {

// Asset-number order, the snapshot's number for an asset deleted from the register since.
constexpr const char* kStocktakeOrder = " order by sbjl.id asc,sbjl.num asc,bh asc";

// In kind order 0..10.
const KindTraits kTraits[] = {
    {false, "", "cx.cjg", "/stdcxjg", "序号", true, true, true},
    {false, " order by jcrq asc", "jc.cjg", "/stdjcjg", "序号", true, true, true},
    {false, " order by sxrq asc", "wx.cjg", "/stdwxjg", "送修日期", false, true, false},
    {true, " order by index asc", "hiscx.cjg", "/stdhisjg", "调拨日期", false, false, false},
    {false, " order by ID1,sxrq asc", "cwx.cjg", "/stdcwxjg", "序号", true, true, false},
    {true, " order by jcrq asc,bz desc", "cjc.cjg", "/stdcjcjg", "标志", false, false, false},
    {true, " order by index desc", "czjl.cjg", "/stdczjg", "时间", false, true, false},
    // The stocktake's lists: a picked asset is shown on the card (to scrap a missing one there).
    {false, kStocktakeOrder, "pdyp.cjg", "/stdpdyp", "序号", true, true, false},
    {false, kStocktakeOrder, "pdpk.cjg", "/stdpdpk", "序号", true, true, false},
    {false, kStocktakeOrder, "pdwz.cjg", "/stdpdwz", "序号", true, true, false},
    {false, " order by smid asc", "pdpy.cjg", "/stdpdpy", "扫描编号", false, true, false},
};

}  // namespace

const KindTraits& traitsOf(ResultKind kind) {
    const int k = static_cast<int>(kind);
    return kTraits[k >= 0 && k < int(std::size(kTraits)) ? k : 0];
}

QString userLayoutPath(ResultKind kind, const QString& dataDir, const QString& user) {
    return dataDir + user + QString::fromUtf8(traitsOf(kind).userFile);
}

QString defaultLayoutPath(ResultKind kind, const QString& startDir) {
    QString dir = startDir;
    while (dir.endsWith(QLatin1Char('/')) && dir.size() > 1) dir.chop(1);
    return dir + QString::fromUtf8(traitsOf(kind).defaultFile);
}

QString openingStatement(const QueryState& state) {
    if (state.kind == ResultKind::AssetQuery) return state.queryText + state.orderText;
    return state.queryText + QString::fromUtf8(traitsOf(state.kind).orderBy);
}

QString titleOrderBy(const QString& field, bool ascending) {
    if (field.compare(QLatin1String("bh"), Qt::CaseInsensitive) == 0) {
        return ascending ? QStringLiteral(" order by sbjl.id asc,sbjl.num asc")
                         : QStringLiteral(" order by sbjl.id desc,sbjl.num desc");
    }
    return QStringLiteral(" order by ") + field +
           (ascending ? QStringLiteral(" asc") : QStringLiteral(" desc"));
}

}  // namespace fx::query
