#include "importstore.h"

#include <QFileInfo>
#include <QHash>

#include "assetnumber.h"
#include "bulkinsert.h"
#include "changerecorder.h"
#include "connection.h"
#include "dictionaryrows.h"

namespace fx::import {

namespace {

using dictionary::ItemKind;

void addItem(db::Connection& c, const Addition& a) {
    switch (a.kind) {
        case ItemKind::Category:
            dictionary::insertCategory(c, a.text, a.prefix, a.number);
            break;
        case ItemKind::Name:
            dictionary::insertName(c, a.text, a.owner, a.prefix, a.flag);
            break;
        case ItemKind::Model:
            dictionary::insertModel(c, a.text, a.owner, a.configuration);
            break;
        case ItemKind::Use:
            dictionary::insertUse(c, a.text, a.owner);
            break;
        case ItemKind::Location:
            // A new place is not a department, as the card's question proposes.
            dictionary::insertLocation(c, a.text, false);
            break;
        case ItemKind::User:
            // The file does not say the department; the dictionary window can set it.
            dictionary::insertPerson(c, a.text, QString());
            break;
        case ItemKind::Life:
            dictionary::insertLife(c, a.text, a.number);
            break;
        case ItemKind::Source:
            dictionary::insertSource(c, a.text);
            break;
        case ItemKind::None:
            break;
    }
}

}  // namespace

QString importNote(const QString& source) {
    return QStringLiteral("从文件导入：") + QFileInfo(source).fileName();
}

ImportResult runImport(db::Connection& c, const SheetTable& table, const ImportOptions& options,
                       const Progress& progress, history::ChangeRecorder* recorder,
                       const QString& source) {
    db::Transaction transaction(c);
    // The plan reads which numbers are free: another workstation saving meanwhile waits.
    numbering::takeNumberingTurn(c);
    ImportResult result;
    result.plan = planImport(c, table, options);
    const ImportPlan& plan = result.plan;
    const int total = int(plan.assets.size());
    if (progress && !progress(0, total)) throw ImportCancelled();
    for (const Addition& a : plan.additions) addItem(c, a);

    // One prepared insert for every row; the counter comes back with each row, nothing is
    // read back or kept.
    db::BulkInsert insert(
        c, QStringLiteral("sbjl"),
        {QStringLiteral("id"), QStringLiteral("num"), QStringLiteral("zclb"),
         QStringLiteral("sbmc"), QStringLiteral("sbxh"), QStringLiteral("sbpz"),
         QStringLiteral("yt"), QStringLiteral("worp"), QStringLiteral("wz"), QStringLiteral("bgr"),
         QStringLiteral("ly"), QStringLiteral("bxq"), QStringLiteral("gmrq"),
         QStringLiteral("pzrq"), QStringLiteral("gmjg"), QStringLiteral("other"),
         QStringLiteral("ybf"), QStringLiteral("yjc"), QStringLiteral("wx")});
    QHash<QString, int> highest;
    QList<history::RecordedAsset> recorded;
    if (recorder) recorded.reserve(total);
    int done = 0;
    for (const AssetRow& a : plan.assets) {
        const qint64 serial = insert.insert({a.prefix, a.number, a.zclb, a.sbmc, a.sbxh, a.sbpz,
                                             a.yt, a.worp, a.wz, a.bgr, a.ly, a.bxq, a.gmrq, a.pzrq,
                                             a.gmjg, a.other, a.ybf, false, false});
        if (result.firstSerial == 0) result.firstSerial = serial;
        result.lastSerial = serial;
        highest[a.prefix] = qMax(highest.value(a.prefix, 0), a.number);
        if (recorder)
            recorded.push_back({int(serial), numbering::formatAssetNumber(a.prefix, a.number)});
        ++done;
        if (progress && (done % 256 == 0 || done == total) && !progress(done, total))
            throw ImportCancelled();
    }
    for (auto it = highest.cbegin(); it != highest.cend(); ++it)
        numbering::noteNumberIssued(c, it.key(), it.value());
    if (recorder)
        recorder->recordAssets(QString::fromUtf8(history::op::kImport), recorded,
                               importNote(source));
    transaction.commit();
    result.added = done;
    return result;
}

}  // namespace fx::import
