#include "importstore.h"

#include <QFileInfo>
#include <QHash>

#include "assetnumber.h"
#include "changerecorder.h"
#include "connection.h"
#include "dictionaryrows.h"
#include "rowset.h"

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
    ImportResult result;
    result.plan = planImport(c, table, options);
    const ImportPlan& plan = result.plan;
    const int total = int(plan.assets.size());
    if (progress && !progress(0, total)) throw ImportCancelled();
    for (const Addition& a : plan.additions) addItem(c, a);

    db::RowSet rows(c, QStringLiteral("select * from sbjl where ID1=-1"));
    rows.open();
    QHash<QString, int> highest;
    QList<history::RecordedAsset> recorded;
    if (recorder) recorded.reserve(total);
    int done = 0;
    for (const AssetRow& a : plan.assets) {
        rows.append();
        rows.setValue(QStringLiteral("id"), a.prefix);
        rows.setValue(QStringLiteral("num"), a.number);
        rows.setValue(QStringLiteral("zclb"), a.zclb);
        rows.setValue(QStringLiteral("sbmc"), a.sbmc);
        rows.setValue(QStringLiteral("sbxh"), a.sbxh);
        rows.setValue(QStringLiteral("sbpz"), a.sbpz);
        rows.setValue(QStringLiteral("yt"), a.yt);
        rows.setValue(QStringLiteral("worp"), a.worp);
        rows.setValue(QStringLiteral("wz"), a.wz);
        rows.setValue(QStringLiteral("bgr"), a.bgr);
        rows.setValue(QStringLiteral("ly"), a.ly);
        rows.setValue(QStringLiteral("bxq"), a.bxq);
        rows.setValue(QStringLiteral("gmrq"), a.gmrq);
        rows.setValue(QStringLiteral("pzrq"), a.pzrq);
        rows.setValue(QStringLiteral("gmjg"), a.gmjg);
        rows.setValue(QStringLiteral("other"), a.other);
        rows.setValue(QStringLiteral("ybf"), a.ybf);
        rows.setValue(QStringLiteral("yjc"), false);
        rows.setValue(QStringLiteral("wx"), false);
        rows.post();
        const qint64 serial = rows.value(QStringLiteral("ID1")).toLongLong();
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
