#pragma once

#include <QString>

namespace fx::bench {

// An installation made by fxasset-admin's init for a benchmark: the demo dictionary and
// assetCount demo assets, in a temporary folder that lives until the program ends. The registry
// stand-in is pointed at a temporary folder first, so benchmarks never touch the developer's
// values. Installations are cached by asset count: asking twice gives the same one.
struct BenchInstallation {
    QString appDir;
    QString dataDir;          // ends with "/"
    QString currentFile;      // gdzc.qsk
    QString historyFile;      // dbjl.his
    QString currentPassword;  // from the installation's key file
    double initSeconds = 0;   // how long init took
};

const BenchInstallation& benchInstallation(int assetCount);

// A new, empty temporary folder below the benchmark's own temporary root.
QString freshBenchFolder();

}  // namespace fx::bench
