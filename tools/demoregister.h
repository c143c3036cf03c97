#pragma once

#include <QDate>
#include <QString>
#include <vector>

namespace fx::db {
class Connection;
}

namespace fx::admin {

// The demonstration register: assets drawn from the demo dictionary together with their
// movements (loans, transfers, repairs), generated in memory first and then written. Generation
// is deterministic: the same count, day and seed give the same register.

inline constexpr quint64 kDemoSeed = 20240601;
inline constexpr int kDefaultDemoAssets = 300;

struct DemoAsset {
    QString prefix;  // sbjl.id, with the trailing "-"
    int num = 0;     // running number under the prefix, assigned in order of purchase
    QString zclb, sbmc, sbxh, sbpz, yt;
    bool worp = true;
    QString wz, bgr, ly, bxq;
    QDate gmrq, pzrq;
    double gmjg = 0;
    QString other;
    bool ybf = false, yjc = false, wx = false;
};

// One loan of an asset (index into assets). returned is invalid while the asset is still out.
struct DemoLoan {
    int asset = 0;
    QString jcr, pzr, jyr, jydw, other;
    QDate jcrq, ghrq, returned;
    QString lentBy, returnedBy;  // operators of the two history rows
};

struct DemoTransfer {
    int asset = 0;
    QString swz, sbgr, owz, obgr, czy;
    QDate date;
};

struct DemoRepair {
    int asset = 0;
    QDate sxrq, wxrq;
    QString sxdd, ghpj, gzyy, wxzk, sxr;
    double wxfy = 0;
};

struct DemoRegister {
    std::vector<DemoAsset> assets;        // in the order they are entered (purchase date)
    std::vector<DemoLoan> loans;          // in order of lending
    std::vector<DemoTransfer> transfers;  // in the order they were made
    std::vector<DemoRepair> repairs;      // in order of the date sent for repair
};

// Generates assetCount assets with purchase dates up to today and movements up to today.
DemoRegister generateDemoRegister(int assetCount, const QDate& today, quint64 seed = kDemoSeed);

struct DemoCounts {
    int assets = 0;
    int openLoans = 0;
    int returnedLoans = 0;
    int transfers = 0;
    int repairs = 0;
    int scrapped = 0;
};

// Writes the register: assets, open loans, repairs and the number prefixes (idupper, each with
// the highest number used) into the current database, loan and transfer history into the
// history database. Each database is written in one transaction; on an error neither keeps
// anything of the register (the history transaction commits only after the current one).
DemoCounts writeDemoRegister(const DemoRegister& reg, db::Connection& current,
                             db::Connection& history);

}  // namespace fx::admin
