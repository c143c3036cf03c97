#include "testserver.h"

#include <QCoreApplication>
#include <QStringList>
#include <atomic>

#include "connection.h"
#include "engine.h"

namespace fx::test {

QString serverConninfo() {
    return qEnvironmentVariable("FX_TEST_PG");
}

::testing::internal::ParamGenerator<Engine> bothEngines() {
    return ::testing::Values(Engine::File, Engine::Server);
}

std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::File ? "File" : "Server";
}

void EngineTest::SetUp() {
    if (onServer() && serverConninfo().isEmpty()) {
        GTEST_SKIP() << "no test server: FX_TEST_PG is not set (scripts/test.sh starts one)";
    }
}

ServerSpace::ServerSpace() {
    static std::atomic<int> counter{0};
    prefix_ = QStringLiteral("t%1_%2_").arg(QCoreApplication::applicationPid()).arg(++counter);
}

ServerSpace::~ServerSpace() {
    try {
        auto c = db::Connection::openServer(serverConninfo(), QStringLiteral("public"));
        QStringList names;
        std::unique_ptr<db::detail::Cursor> st = c->engine().prepare(
            QStringLiteral("SELECT nspname FROM pg_namespace WHERE nspname LIKE '") + prefix_ +
            QStringLiteral("%'"));
        while (st->step()) {
            int n = 0;
            const char* p = st->text(0, &n);
            names << QString::fromUtf8(p, n);
        }
        for (const QString& name : names)
            c->engine().run(QStringLiteral("DROP SCHEMA \"%1\" CASCADE").arg(name));
    } catch (...) {
        // A schema left behind goes with the test server's folder.
    }
}

}  // namespace fx::test
