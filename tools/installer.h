#pragma once

#include <QString>

#include "demoregister.h"

namespace fx::admin {

inline constexpr const char* kDefaultOrganisation = "青石岭示范单位";

struct InitOptions {
    QString appDir;        // installation folder; created when missing
    QString organisation;  // registry value "组织名称"; empty means kDefaultOrganisation
    QString shareDir;      // installed files to copy; empty means findShareDir()
    bool demo = false;     // fill the demonstration dictionary and register
    int assets = -1;       // number of demo assets; -1 means kDefaultDemoAssets
};

struct InitResult {
    QString appPath;  // absolute installation folder, no trailing separator
    QString dataDir;  // its data folder, ending with "/"
    bool demo = false;
    DemoCounts counts;
};

// Creates an installation: the installed files of share/ (the companion key file among them)
// in appDir, the two keyed databases in appDir/data/ (the current one keyed with the password
// of the installed key file), optionally the demonstration data, and last the registry
// stand-in's "AppPath" and "组织名称". Throws AdminError (or DbError) with a message for the
// user. Refuses, before changing anything, when appDir/data already holds either database.
// When filling fails after the databases were created, they are removed again so that init
// can simply be repeated.
InitResult initInstallation(const InitOptions& options);

}  // namespace fx::admin
