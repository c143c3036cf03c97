#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace fx::db {
class Connection;
}

namespace fx::admin {

// The data dictionary of the demonstration register: what a small public institution would
// keep. The asset generator draws every asset value from here, so every asset joins its
// category and its service life and the asset query lists all of them.

struct DemoModel {
    QString sbxh;  // model
    QString sbpz;  // its standard configuration
};

struct DemoName {
    QString name;
    QString sort;  // category
    QString bht;   // number prefix, without the trailing "-"
    bool wzorgr;   // true: kept at a location; false: held by a person
    QString life;  // service life (syq.qx) its assets get
    int weight;    // relative frequency among generated assets
    int minPrice;  // price range in yuan
    int maxPrice;
    std::vector<DemoModel> models;
    // Where assets of a name kept by location stand; empty means any place of the dictionary.
    QStringList places = {};
};

struct DemoCategory {
    QString sort;
    QString title;  // default number prefix
    int cz;         // residual rate in percent
    QStringList uses;
};

struct DemoLife {
    QString qx;
    int yue;
};

struct DemoPlace {
    QString wz;
    bool isbm;  // a department
};

struct DemoPerson {
    QString pname;
    QString bm;  // department
};

struct DemoUser {
    QString user;
    QString password;
    bool ins, modi, del, view, jc, gh, db, spmodi;
};

struct DemoDictionary {
    std::vector<DemoCategory> categories;
    std::vector<DemoName> names;
    std::vector<DemoLife> lives;
    std::vector<DemoPlace> places;
    std::vector<DemoPerson> persons;
    QStringList sources;  // lyfs
    std::vector<DemoUser> users;
    // Free-text values of movements: borrowers, borrowing places, repair shops, faults...
    QStringList borrowers;
    QStringList borrowingPlaces;
    QStringList repairPlaces;
    QStringList faults;
    QStringList parts;
    QStringList remarks;
};

// The fixed demonstration dictionary (built once).
const DemoDictionary& demoDictionary();

// Writes the dictionary tables (sortproc, sortb, xhpz, ytb, wzb, person, syq, lyfs) and the
// extra users into the current database. The caller runs it inside a transaction; the reserved
// rows created with the schema (the administrator, the unassigned person) are left as they are.
void writeDemoDictionary(db::Connection& current);

}  // namespace fx::admin
