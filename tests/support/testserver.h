#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <string>

namespace fx::test {

// The engines a test runs on: the keyed file, and the private test server the test command
// starts (its connection string in FX_TEST_PG).
enum class Engine { File, Server };

// The test server's connection string; empty when FX_TEST_PG is not set.
QString serverConninfo();

// Both engines, for INSTANTIATE_TEST_SUITE_P, and their names in the test names.
::testing::internal::ParamGenerator<Engine> bothEngines();
std::string engineName(const ::testing::TestParamInfo<Engine>& info);

// The engine a parameterised fixture builds its installation on: the server only when there
// is one (without it the test skips itself in EngineTest::SetUp).
inline Engine availableEngine(Engine wanted) {
    return wanted == Engine::Server && serverConninfo().isEmpty() ? Engine::File : wanted;
}

// A fixture parameterised by the engine. On the server without FX_TEST_PG the test is skipped
// with a message (the test command always sets it).
class EngineTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override;
    bool onServer() const { return GetParam() == Engine::Server; }
};

// Schemas on the test server under a prefix no other test uses; all of them dropped when
// destroyed.
class ServerSpace {
public:
    ServerSpace();
    ~ServerSpace();
    ServerSpace(const ServerSpace&) = delete;
    ServerSpace& operator=(const ServerSpace&) = delete;

    QString conninfo() const { return serverConninfo(); }
    // The full name of one schema of this space ("gdzc" -> "t1234_5_gdzc").
    QString schema(const QString& name) const { return prefix_ + name; }
    const QString& prefix() const { return prefix_; }

private:
    QString prefix_;
};

}  // namespace fx::test

// Defines the parameterised suite Suite on both engines.
#define FX_BOTH_ENGINES(Suite)                      \
    class Suite : public ::fx::test::EngineTest {}; \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite, ::fx::test::bothEngines(), ::fx::test::engineName)
