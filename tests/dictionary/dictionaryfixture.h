#pragma once

#include <QString>
#include <QVariant>
#include <memory>

#include "appstate.h"
#include "testinstallation.h"

namespace fx::test {

// A fresh installation signed in as the administrator, with a small dictionary and helpers that
// write and read the tables directly.
class DictionaryFixture {
public:
    DictionaryFixture();

    AppState& state() { return *state_; }
    // Runs a statement in the engine's own dialect.
    void run(const QString& sql);
    // The first column of the first row of a native statement, as text ("" when no row).
    QString text(const QString& sql);
    int count(const QString& sql);
    // An asset with the given dictionary values; returns its serial number.
    qint64 addAsset(const QString& category, const QString& name, const QString& place,
                    const QString& model = QString(), const QString& use = QString(),
                    const QString& custodian = QString(), bool atPlace = true);

    TestInstallation install;

private:
    std::unique_ptr<AppState> state_;
};

}  // namespace fx::test
