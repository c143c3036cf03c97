// The running counts of a scanning window follow the scans of every workstation after each scan
// without reading the scans already counted, and agree with the counts read in full.
#include "runningcounts.h"
#include "scan.h"
#include "stocktake.h"
#include "stocktakefixture.h"

namespace fx::stocktake {

// Found by the checks' argument lookup beside Counts.
bool operator==(const Counts& a, const Counts& b) {
    return a.expected == b.expected && a.found == b.found && a.misplaced == b.misplaced &&
           a.surplus == b.surplus;
}

namespace test {
namespace {

class RunningCountsTest : public StocktakeTest {
protected:
    void SetUp() override {
        StocktakeTest::SetUp();
        take_ = create(db(), QStringLiteral("全面"), {}, QStringLiteral("u"), kToday);
        other_ = openAnother();
    }
    qint64 scan(db::Connection& c, const char* code, const char* place) {
        return recordScan(c, take_.id, QString::fromUtf8(code), QString::fromUtf8(place),
                          QStringLiteral("u"), at(minute_++))
            .scanId;
    }
    Stocktake take_;
    std::unique_ptr<db::Connection> other_;
    int minute_ = 0;
};

TEST_F(RunningCountsTest, EachUpdateAddsTheScansOfEveryWorkstation) {
    RunningCounts running(take_.id);
    EXPECT_EQ(running.refresh(db()), counts(db(), take_.id));
    EXPECT_EQ(running.current().expected, 5);
    const struct {
        bool here;
        const char* code;
        const char* place;
        int found, misplaced, surplus;
    } steps[] = {
        {true, "JSJ-1", "财务处", 1, 0, 0}, {false, "JSJ-3", "财务处", 2, 1, 0},
        {true, "JSJ-3", "教务处", 2, 1, 0},  // a duplicate
        {true, "ZZZ-1", "", 2, 1, 1},       {false, "ZZZ-1", "", 2, 1, 1},
        {false, "BGZ-1", "", 3, 1, 1},      {true, "BGZ-2", "", 3, 1, 1},  // scrapped: out of scope
        {true, "SBQ-1", "教务处", 4, 2, 1},
    };
    for (const auto& s : steps) {
        scan(s.here ? db() : *other_, s.code, s.place);
        const Counts n = running.update(db());
        EXPECT_EQ(n.found, s.found) << s.code;
        EXPECT_EQ(n.misplaced, s.misplaced) << s.code;
        EXPECT_EQ(n.surplus, s.surplus) << s.code;
        EXPECT_EQ(n, counts(db(), take_.id)) << s.code;
    }
    // Nothing new: nothing changes.
    EXPECT_EQ(running.update(db()), counts(db(), take_.id));
}

TEST_F(RunningCountsTest, AnUndoElsewhereShowsAtTheNextFullRead) {
    RunningCounts running(take_.id);
    running.refresh(db());
    const qint64 id = scan(*other_, "JSJ-1", "");
    EXPECT_EQ(running.update(db()).found, 1);
    undoScan(*other_, take_.id, id);
    EXPECT_EQ(running.refresh(db()), counts(db(), take_.id));
    EXPECT_EQ(running.current().found, 0);
    // Scans of another stocktake count in neither.
    const Stocktake second = create(db(), QStringLiteral("第二"), {}, QStringLiteral("u"), kToday);
    recordScan(db(), second.id, QStringLiteral("JSJ-2"), QString(), QStringLiteral("u"), at(30));
    EXPECT_EQ(running.update(db()).found, 0);
}

}  // namespace
}  // namespace test
}  // namespace fx::stocktake
