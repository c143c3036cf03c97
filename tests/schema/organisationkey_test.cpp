#include "organisationkey.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "connection.h"
#include "dberror.h"

namespace fx::schema {
namespace {

class OrganisationKey : public ::testing::Test {
protected:
    QString path(const char* name = "qslorgkey.key") const {
        return dir_.filePath(QString::fromLatin1(name));
    }
    void write(const QByteArray& bytes) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir_;
};

TEST_F(OrganisationKey, NewKeysAreRandomRawKeys) {
    const DatabaseKeys a = newRandomKeys();
    const DatabaseKeys b = newRandomKeys();
    EXPECT_NE(a.current, b.current);
    EXPECT_NE(a.current, a.history);
    EXPECT_TRUE(a.current.startsWith(QLatin1String("x'")));
    EXPECT_EQ(a.current.size(), 67);
}

TEST_F(OrganisationKey, ARingIsWrittenOwnerOnlyAndReadBack) {
    const KeyRing ring{newRandomKeys(), newRandomKeys()};
    ASSERT_EQ(writeKeyRing(path(), ring), QString());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    QString problem;
    EXPECT_EQ(readKeyRing(path(), &problem), ring);
    EXPECT_EQ(problem, QString());
    EXPECT_FALSE(QFile::exists(path() + QStringLiteral(".part")));
}

TEST_F(OrganisationKey, AMissingFileIsAnEmptyRingWithoutAProblem) {
    QString problem = QStringLiteral("x");
    EXPECT_TRUE(readKeyRing(path(), &problem).isEmpty());
    EXPECT_EQ(problem, QString());
}

TEST_F(OrganisationKey, DamagedFilesAreRefused) {
    const QByteArray hex(64, 'a');
    const QByteArray cases[] = {
        "",
        "fxasset organisation key 1\n",                                     // no pair
        "another file\n" + hex + ' ' + hex + '\n',                          // wrong heading
        "fxasset organisation key 1\n" + hex + '\n',                        // one key of the pair
        "fxasset organisation key 1\n" + hex.left(62) + ' ' + hex + '\n',   // short key
        "fxasset organisation key 1\n" + hex + ' ' + hex.left(63) + "g\n",  // not hex
    };
    for (const QByteArray& text : cases) {
        write(text);
        QString problem;
        EXPECT_TRUE(readKeyRing(path(), &problem).isEmpty()) << text.constData();
        EXPECT_FALSE(problem.isEmpty()) << text.constData();
    }
    write("fxasset organisation key 1\n" + hex + ' ' + hex + '\n');
    EXPECT_EQ(readKeyRing(path()).size(), 1);
}

TEST_F(OrganisationKey, AMergedRingKeepsEveryKeyOnce) {
    const DatabaseKeys a = newRandomKeys(), b = newRandomKeys(), c = newRandomKeys();
    EXPECT_EQ(mergedKeyRing({a, b}, {c, a}), (KeyRing{a, b, c}));
    EXPECT_EQ(passwordsFor({a, {a.current, QString()}, b}, DatabaseKind::Current),
              (QStringList{a.current, b.current}));
    EXPECT_EQ(passwordsFor({a, b}, DatabaseKind::History), (QStringList{a.history, b.history}));
}

TEST_F(OrganisationKey, OpensWithTheFirstKeyThatFits) {
    const DatabaseKeys own = newRandomKeys();
    db::Connection::create(path("x.db"), own.current)
        ->executeNative(QStringLiteral("CREATE TABLE t (a)"));
    QString used;
    auto c = openWithFirstKey(path("x.db"), {QStringLiteral("wrong"), own.current}, &used);
    EXPECT_TRUE(c->hasTable(QStringLiteral("t")));
    EXPECT_EQ(used, own.current);
    try {
        openWithFirstKey(path("x.db"), {QStringLiteral("wrong"), QStringLiteral("also wrong")});
        ADD_FAILURE() << "opened with no fitting key";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.isWrongKey());
    }
    // A missing file is not a wrong key: told at once.
    try {
        openWithFirstKey(path("none.db"), {own.current});
        ADD_FAILURE() << "opened a missing file";
    } catch (const db::DbError& e) {
        EXPECT_FALSE(e.isWrongKey());
    }
    EXPECT_THROW(openWithFirstKey(path("x.db"), {}), db::DbError);
}

}  // namespace
}  // namespace fx::schema
