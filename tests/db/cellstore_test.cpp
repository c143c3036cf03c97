#include "cellstore.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <cstdint>
#include <limits>

#include "qtprint.h"

namespace fx::db::detail {
namespace {

QByteArray bytesOf(const Cell& c) {
    return QByteArray(c.p, qsizetype(c.size));
}

TEST(RowStore, IntegersOfEveryWidthReadBack) {
    const qint64 values[] = {0,
                             1,
                             -1,
                             127,
                             -128,
                             128,
                             -129,
                             32767,
                             -32768,
                             32768,
                             -32769,
                             std::numeric_limits<std::int32_t>::max(),
                             std::numeric_limits<std::int32_t>::min(),
                             qint64(std::numeric_limits<std::int32_t>::max()) + 1,
                             qint64(std::numeric_limits<std::int32_t>::min()) - 1,
                             std::numeric_limits<qint64>::max(),
                             std::numeric_limits<qint64>::min()};
    RowStore store;
    store.reset(int(std::size(values)));
    store.begin();
    for (qint64 v : values) store.putInteger(v);
    const int row = store.add();
    for (int i = 0; i < int(std::size(values)); ++i) {
        const Cell c = store.cell(row, i);
        EXPECT_EQ(c.type, CellType::Integer) << i;
        EXPECT_EQ(c.i, values[i]) << i;
    }
}

TEST(RowStore, EveryKindOfValueReadsBack) {
    RowStore store;
    store.reset(8);
    store.begin();
    store.putNull();
    store.putNumber(0.29);
    store.putBool(true);
    store.putBool(false);
    store.putDate(2460477);  // 2024-06-15
    store.putText("", 0);
    const QByteArray chinese = QStringLiteral("台式电脑").toUtf8();
    store.putText(chinese.constData(), std::size_t(chinese.size()));
    const char blob[] = {'a', '\0', 'b'};
    store.putBlob(blob, 3);
    const int row = store.add();
    EXPECT_EQ(store.cell(row, 0).type, CellType::Null);
    EXPECT_EQ(store.cell(row, 1).type, CellType::Number);
    EXPECT_DOUBLE_EQ(store.cell(row, 1).d, 0.29);
    EXPECT_EQ(store.cell(row, 2).type, CellType::Bool);
    EXPECT_EQ(store.cell(row, 2).i, 1);
    EXPECT_EQ(store.cell(row, 3).i, 0);
    EXPECT_EQ(store.cell(row, 4).type, CellType::Date);
    EXPECT_EQ(store.cell(row, 4).i, 2460477);
    EXPECT_EQ(store.cell(row, 5).type, CellType::Text);
    EXPECT_EQ(store.cell(row, 5).size, 0u);
    EXPECT_EQ(bytesOf(store.cell(row, 6)), chinese);
    EXPECT_EQ(store.cell(row, 7).type, CellType::Blob);
    EXPECT_EQ(bytesOf(store.cell(row, 7)), QByteArray(blob, 3));
}

TEST(RowStore, TextLengthsAcrossTheLengthEncoding) {
    // Lengths are written in 7-bit groups: the edges of one, two and three groups.
    const int lengths[] = {1, 127, 128, 16383, 16384, 70000};
    RowStore store;
    store.reset(int(std::size(lengths)) + 1);
    store.begin();
    QList<QByteArray> texts;
    for (int n : lengths) {
        texts.append(QByteArray(n, char('a' + n % 26)));
        store.putText(texts.last().constData(), std::size_t(n));
    }
    store.putInteger(42);  // a value after the texts is found at its place
    const int row = store.add();
    for (int i = 0; i < int(std::size(lengths)); ++i) {
        EXPECT_EQ(bytesOf(store.cell(row, i)), texts[i]) << lengths[i];
    }
    EXPECT_EQ(store.cell(row, int(std::size(lengths))).i, 42);
}

TEST(RowStore, ManyRowsAcrossBlocksKeepTheirValues) {
    RowStore store;
    store.reset(3);
    const int rows = 20000;
    for (int r = 0; r < rows; ++r) {
        store.begin();
        store.putInteger(r);
        const QByteArray text = QByteArray::number(r).repeated(1 + r % 60);
        store.putText(text.constData(), std::size_t(text.size()));
        store.putNumber(r / 4.0);
        EXPECT_EQ(store.add(), r);
    }
    EXPECT_EQ(store.rows(), rows);
    // Read in an order that defeats the remembered record.
    for (int r = rows - 1; r >= 0; r -= 7) {
        EXPECT_EQ(store.cell(r, 0).i, r);
        EXPECT_EQ(bytesOf(store.cell(r, 1)), QByteArray::number(r).repeated(1 + r % 60));
        EXPECT_DOUBLE_EQ(store.cell(r, 2).d, r / 4.0);
    }
}

TEST(RowStore, RowLongerThanABlockGetsItsOwn) {
    RowStore store;
    store.reset(2);
    store.begin();
    store.putInteger(1);
    store.putText("x", 1);
    store.add();
    const QByteArray huge(int(BlockPool::kBlockSize) + 1000, 'z');
    store.begin();
    store.putInteger(2);
    store.putText(huge.constData(), std::size_t(huge.size()));
    store.add();
    store.begin();
    store.putInteger(3);
    store.putText("y", 1);
    store.add();
    EXPECT_EQ(bytesOf(store.cell(0, 1)), QByteArray("x"));
    EXPECT_EQ(bytesOf(store.cell(1, 1)), huge);
    EXPECT_EQ(store.cell(2, 0).i, 3);
    EXPECT_EQ(bytesOf(store.cell(2, 1)), QByteArray("y"));
}

TEST(RowStore, ReplacedRowReadsItsNewValues) {
    RowStore store;
    store.reset(2);
    for (int r = 0; r < 3; ++r) {
        store.begin();
        store.putInteger(r);
        store.putText("old", 3);
        store.add();
    }
    EXPECT_EQ(bytesOf(store.cell(1, 1)), QByteArray("old"));  // remembered as the last record
    store.begin();
    store.putInteger(100);
    store.putText("a longer new text", 17);
    store.replace(1);
    EXPECT_EQ(store.cell(1, 0).i, 100);
    EXPECT_EQ(bytesOf(store.cell(1, 1)), QByteArray("a longer new text"));
    EXPECT_EQ(bytesOf(store.cell(0, 1)), QByteArray("old"));
    EXPECT_EQ(bytesOf(store.cell(2, 1)), QByteArray("old"));
    EXPECT_EQ(store.rows(), 3);
}

TEST(RowStore, ResetForgetsTheRows) {
    RowStore store;
    store.reset(1);
    for (int r = 0; r < 50000; ++r) {
        store.begin();
        store.putInteger(r);
        store.add();
    }
    store.reset(2);
    EXPECT_EQ(store.rows(), 0);
    store.begin();
    store.putText("a", 1);
    store.putNull();
    EXPECT_EQ(store.add(), 0);
    EXPECT_EQ(bytesOf(store.cell(0, 0)), QByteArray("a"));
    EXPECT_EQ(store.cell(0, 1).type, CellType::Null);
}

}  // namespace
}  // namespace fx::db::detail
