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
    explicit DictionaryFixture(Engine engine = Engine::File);

    AppState& state() { return *state_; }
    // Runs a statement as the program's schema is written (translated on the server).
    void run(const QString& sql);
    // The first column of the first row of a statement, as text ("" when no row).
    QString text(const QString& sql);
    int count(const QString& sql);
    // Makes the database refuse every change of an asset's category with "asset locked" (a
    // trigger in the engine's own dialect).
    void refuseCategoryChanges();
    // An asset with the given dictionary values; returns its serial number.
    qint64 addAsset(const QString& category, const QString& name, const QString& place,
                    const QString& model = QString(), const QString& use = QString(),
                    const QString& custodian = QString(), bool atPlace = true);

    TestInstallation install;

private:
    std::unique_ptr<AppState> state_;
};

// A dictionary fixture on both engines: TEST_P on it, with FX_DICTIONARY_ON_BOTH_ENGINES.
class DictionaryOnBothEngines : public EngineTest, public DictionaryFixture {
protected:
    DictionaryOnBothEngines() : DictionaryFixture(availableEngine(GetParam())) {}
};

}  // namespace fx::test
