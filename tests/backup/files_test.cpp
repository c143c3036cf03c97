#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "backupfiles.h"
#include "backuptestsupport.h"
#include "chunkedcopy.h"

namespace {

using namespace fx::backup;
using fx::test::fileBytes;
using fx::test::patternBytes;
using fx::test::writeFile;

TEST(BackupNames, TheSuggestedNameIsTodayAsYearMonthDay) {
    EXPECT_EQ(defaultBackupName(QDate(2024, 6, 1)), QStringLiteral("20240601"));
    EXPECT_EQ(defaultBackupName(QDate(1999, 12, 31)), QStringLiteral("19991231"));
}

TEST(BackupNames, ExtensionsAreReplacedOrAdded) {
    EXPECT_EQ(changeExtension(QStringLiteral("/b/20240601.qsl"), QStringLiteral("qsh")),
              QStringLiteral("/b/20240601.qsh"));
    EXPECT_EQ(changeExtension(QStringLiteral("/b/20240601"), QStringLiteral("qsh")),
              QStringLiteral("/b/20240601.qsh"));
    EXPECT_EQ(changeExtension(QStringLiteral("/b.d/x"), QStringLiteral("bak")),
              QStringLiteral("/b.d/x.bak"));
    EXPECT_EQ(changeExtension(QStringLiteral("/b/a.b.qsl"), QStringLiteral("bak")),
              QStringLiteral("/b/a.b.bak"));
    EXPECT_EQ(withDefaultSuffix(QStringLiteral("/b/20240601")), QStringLiteral("/b/20240601.qsl"));
    EXPECT_EQ(withDefaultSuffix(QStringLiteral("/b/mine.qsh")), QStringLiteral("/b/mine.qsh"));
    EXPECT_EQ(withDefaultSuffix(QString()), QString());
}

TEST(BackupNames, TargetsAndKeptFiles) {
    EXPECT_EQ(currentBackupTarget(QStringLiteral("/b/x.qsl"), true), QStringLiteral("/b/x.qsl"));
    EXPECT_EQ(historyBackupTarget(QStringLiteral("/b/x.qsl")), QStringLiteral("/b/x.qsh"));
    // Both databases to a name ending in .qsh: the history backup must not replace the current.
    EXPECT_EQ(currentBackupTarget(QStringLiteral("/b/x.qsh"), true), QStringLiteral("/b/x.qsl"));
    EXPECT_EQ(currentBackupTarget(QStringLiteral("/b/x.qsh"), false), QStringLiteral("/b/x.qsh"));
    EXPECT_EQ(keptBackupPath(QStringLiteral("/b/x.qsl"), DatabaseKind::Current),
              QStringLiteral("/b/x.bak"));
    EXPECT_EQ(keptBackupPath(QStringLiteral("/b/x.qsh"), DatabaseKind::History),
              QStringLiteral("/b/x.bah"));
    EXPECT_EQ(savedDatabasePath(QStringLiteral("/d/gdzc.qsk")), QStringLiteral("/d/gdzc.sav"));
    EXPECT_EQ(savedDatabasePath(QStringLiteral("/d/dbjl.his")), QStringLiteral("/d/dbjl.sav"));
    EXPECT_EQ(journalPath(QStringLiteral("/d/gdzc.qsk")), QStringLiteral("/d/gdzc.qsk-journal"));
}

TEST(BackupNames, TheDatabaseFilesThemselvesAreRecognised) {
    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/data/");
    QDir().mkpath(data);
    writeFile(data + QStringLiteral("gdzc.qsk"), "x");
    EXPECT_TRUE(namesDatabaseFile(data + QStringLiteral("gdzc.qsk"), data));
    EXPECT_TRUE(namesDatabaseFile(dir.path() + QStringLiteral("/data/../data/gdzc.qsk"), data));
    EXPECT_TRUE(namesDatabaseFile(data + QStringLiteral("dbjl.his"), data));
    EXPECT_FALSE(namesDatabaseFile(data + QStringLiteral("gdzc.qsl"), data));
    EXPECT_FALSE(namesDatabaseFile(dir.path() + QStringLiteral("/gdzc.qsk"), data));
}

// ---- the copy loop ----

struct CopyRun {
    QByteArray source;
    QByteArray copy;
    std::vector<int> chunks;  // what the progress callback was told, in order
};

// Copies a file of the given size over a longer one, once with each flush; both copies must
// come out the same, and the progress told is that of the first.
CopyRun copyOfSize(qint64 size) {
    QTemporaryDir dir;
    CopyRun run;
    run.source = patternBytes(size, quint32(size) + 7);
    const QString from = dir.filePath(QStringLiteral("from"));
    writeFile(from, run.source);
    for (const Flush flush : {Flush::WaitForDisk, Flush::StartWriting}) {
        const QString to = dir.filePath(flush == Flush::WaitForDisk ? QStringLiteral("to")
                                                                    : QStringLiteral("to2"));
        // A longer file already at the target must be replaced, not partly overwritten.
        writeFile(to, patternBytes(size + 500, 99));
        std::vector<int> chunks;
        const CopyOutcome outcome = copyFileInChunks(
            from, to, [&](int n) { chunks.push_back(n); }, flush, 0600);
        EXPECT_TRUE(outcome.ok()) << outcome.message.toStdString();
        if (flush == Flush::WaitForDisk) {
            run.copy = fileBytes(to);
            run.chunks = chunks;
        } else {
            EXPECT_EQ(fileBytes(to), run.copy) << "size " << size;
            EXPECT_EQ(chunks, run.chunks) << "size " << size;
        }
    }
    return run;
}

TEST(CopyLoop, FilesOfAtLeast3600BytesTakeSixtyChunksAndARemainder) {
    for (qint64 size : {3600LL, 3601LL, 3659LL, 7200LL, 100003LL, 1048576LL * 3 + 17}) {
        const CopyRun run = copyOfSize(size);
        EXPECT_EQ(run.copy, run.source) << "size " << size;
        ASSERT_EQ(run.chunks.size(), 60u) << "size " << size;
        for (int i = 0; i < 60; ++i) EXPECT_EQ(run.chunks[size_t(i)], i + 1);
        EXPECT_EQ(progressValue(run.chunks.back()), 300);
    }
}

TEST(CopyLoop, SizesThatAreNotMultiplesOfSixtyEndWithTheRemainder) {
    for (qint64 size : {61LL, 119LL, 1000LL, 3599LL, 12345LL}) {
        const CopyRun run = copyOfSize(size);
        EXPECT_EQ(run.copy, run.source) << "size " << size;
        // Whole chunks of size / 60 while they fit, then the rest.
        const qint64 chunk = size / 60;
        EXPECT_EQ(qint64(run.chunks.size()), size / chunk) << "size " << size;
    }
}

TEST(CopyLoop, FilesUnderSixtyBytesAreCopiedAndTheLoopEnds) {
    for (qint64 size : {0LL, 1LL, 17LL, 59LL}) {
        const CopyRun run = copyOfSize(size);
        EXPECT_EQ(run.copy, run.source) << "size " << size;
        EXPECT_TRUE(run.chunks.empty()) << "size " << size;
    }
    const CopyRun sixty = copyOfSize(60);
    EXPECT_EQ(sixty.copy, sixty.source);
    EXPECT_EQ(sixty.chunks.size(), 60u);
}

TEST(CopyLoop, TheBarNeverPassesItsMaximum) {
    EXPECT_EQ(kProgressMaximum, 300);
    EXPECT_EQ(progressValue(0), 0);
    EXPECT_EQ(progressValue(1), 5);
    EXPECT_EQ(progressValue(59), 295);
    EXPECT_EQ(progressValue(119), 300);
}

TEST(CopyLoop, ChunksCopyBetweenDescriptorsAtTheirStart) {
    QTemporaryDir dir;
    const QByteArray data = patternBytes(5000, 3);
    writeFile(dir.filePath(QStringLiteral("a")), data);
    const int in =
        ::open(QFile::encodeName(dir.filePath(QStringLiteral("a"))).constData(), O_RDONLY);
    const int out = ::open(QFile::encodeName(dir.filePath(QStringLiteral("b"))).constData(),
                           O_WRONLY | O_CREAT, 0644);
    // Positions left elsewhere by earlier reads do not matter.
    char skip[10];
    ASSERT_EQ(::read(in, skip, sizeof skip), 10);
    EXPECT_TRUE(copyInChunks(in, out, data.size(), {}).isEmpty());
    ::close(in);
    ::close(out);
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("b"))), data);
}

TEST(CopyLoop, FailuresNameTheFileAndTheStage) {
    QTemporaryDir dir;
    const QString from = dir.filePath(QStringLiteral("from"));
    writeFile(from, patternBytes(100));
    const CopyOutcome missing =
        copyFileInChunks(dir.filePath(QStringLiteral("none")), dir.filePath(QStringLiteral("to")),
                         {}, Flush::WaitForDisk, 0600);
    EXPECT_EQ(missing.stage, CopyOutcome::Stage::OpenSource);
    EXPECT_TRUE(missing.message.contains(dir.filePath(QStringLiteral("none"))));
    const QString badTarget = dir.filePath(QStringLiteral("no/such/folder/to"));
    const CopyOutcome noFolder = copyFileInChunks(from, badTarget, {}, Flush::WaitForDisk, 0600);
    EXPECT_EQ(noFolder.stage, CopyOutcome::Stage::CreateTarget);
    EXPECT_TRUE(noFolder.message.contains(badTarget));
}

}  // namespace
