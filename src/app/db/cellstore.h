#pragma once

// Internal to the data-access layer: the rows of a row set, stored compactly. A result of a
// hundred thousand assets is read into memory at once, so every row is packed into one short
// record of bytes (a tag per value, small integers in few bytes, texts as the engine's UTF-8),
// and records are laid end to end in large blocks. A QString is made only when a field is read.
// Blocks never move, so a record stays where it is until the store is reset; a changed row gets
// a new record. Freed blocks are kept for the next result (up to a limit), because fresh memory
// costs more to touch than the copying itself.

#include <QtGlobal>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace fx::db::detail {

enum class CellType : std::uint8_t { Null, Integer, Number, Text, Bool, Date, Blob };

// One value as read back from a record. Integer and Bool use i, Date the Julian day in i,
// Number d, Text and Blob p and size (p points into the store).
struct Cell {
    CellType type = CellType::Null;
    std::uint32_t size = 0;
    union {
        qint64 i = 0;
        double d;
        const char* p;
    };
};

// Memory of row stores. Blocks are plain malloc'd memory.
struct FreeBlock {
    void operator()(char* p) const;
};
using BlockPtr = std::unique_ptr<char[], FreeBlock>;

// Large blocks (kBlockSize bytes) that row stores give back, kept for the next result; at most
// kMaxKept of them (32 MB), the rest go back to the system. Large blocks are asked to be backed
// by huge pages where the system offers them, so that filling one faults once, not 512 times.
class BlockPool {
public:
    static constexpr std::size_t kBlockSize = 2 * 1024 * 1024;
    static constexpr std::size_t kMaxKept = 16;
    static BlockPtr take();
    static void give(BlockPtr block);
    // A block of another size, never kept.
    static BlockPtr allocate(std::size_t size);
};

class RowStore {
public:
    RowStore() = default;
    ~RowStore() { release(); }
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    // Forgets every row; rows then have the given number of values.
    void reset(int columns) {
        release();
        columns_ = columns;
        records_.clear();
        row_ = cur_ = end_ = nullptr;
        nextSize_ = kFirstBlockSize;
        cachedRecord_ = nullptr;
        offsets_.assign(std::size_t(columns), 0);
    }
    int rows() const { return int(records_.size()); }

    // Building a row: begin, one put per column in order, then add (a new row) or replace.
    void begin() { cur_ = row_; }
    void putNull() { *room(1) = char(Tag::Null); }
    void putInteger(qint64 v) {
        if (v >= -128 && v <= 127) {
            char* at = room(2);
            at[0] = char(Tag::Int8);
            at[1] = char(std::int8_t(v));
        } else if (v >= -32768 && v <= 32767) {
            putFixed(Tag::Int16, std::int16_t(v));
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            putFixed(Tag::Int32, std::int32_t(v));
        } else {
            putFixed(Tag::Int64, v);
        }
    }
    void putNumber(double v) { putFixed(Tag::Number, v); }
    void putBool(bool v) { *room(1) = char(v ? Tag::True : Tag::False); }
    void putDate(qint64 julianDay) { putFixed(Tag::Date, std::int32_t(julianDay)); }
    void putText(const char* p, std::size_t n) { putBytes(Tag::Text, p, n); }
    void putBlob(const char* p, std::size_t n) { putBytes(Tag::Blob, p, n); }

    // Keeps the row built since begin() as a new row and returns its index.
    int add() {
        records_.push_back(row_);
        row_ = cur_;
        return int(records_.size()) - 1;
    }
    // Keeps the row built since begin() in place of an existing row.
    void replace(int row) {
        records_[std::size_t(row)] = row_;
        row_ = cur_;
    }

    // Reads one value of a row.
    Cell cell(int row, int column) const {
        const char* record = records_[std::size_t(row)];
        if (record != cachedRecord_) index(record);
        const char* at = record + offsets_[std::size_t(column)];
        Cell c;
        switch (Tag(*at++)) {
            case Tag::Null:
                break;
            case Tag::Int8:
                c.type = CellType::Integer;
                c.i = std::int8_t(*at);
                break;
            case Tag::Int16:
                c.type = CellType::Integer;
                c.i = readFixed<std::int16_t>(at);
                break;
            case Tag::Int32:
                c.type = CellType::Integer;
                c.i = readFixed<std::int32_t>(at);
                break;
            case Tag::Int64:
                c.type = CellType::Integer;
                c.i = readFixed<qint64>(at);
                break;
            case Tag::Number:
                c.type = CellType::Number;
                c.d = readFixed<double>(at);
                break;
            case Tag::False:
            case Tag::True:
                c.type = CellType::Bool;
                c.i = Tag(at[-1]) == Tag::True;
                break;
            case Tag::Date:
                c.type = CellType::Date;
                c.i = readFixed<std::int32_t>(at);
                break;
            case Tag::Text:
            case Tag::Blob: {
                c.type = Tag(at[-1]) == Tag::Text ? CellType::Text : CellType::Blob;
                c.size = readLength(&at);
                c.p = at;
                break;
            }
        }
        return c;
    }

private:
    enum class Tag : std::uint8_t {
        Null,
        Int8,
        Int16,
        Int32,
        Int64,
        Number,
        False,
        True,
        Date,
        Text,
        Blob
    };

    // Room for n more bytes of the row being built. When the block is full the part built so
    // far moves to a fresh block (a row never spans two blocks).
    char* room(std::size_t n) {
        if (std::size_t(end_ - cur_) < n) grow(n);
        char* at = cur_;
        cur_ += n;
        return at;
    }
    void grow(std::size_t n) {
        const std::size_t built = std::size_t(cur_ - row_);
        // Small results stay small: blocks start at 64 KB and double up to the large size.
        std::size_t size = nextSize_;
        if (nextSize_ < BlockPool::kBlockSize) nextSize_ *= 2;
        BlockPtr block;
        if (built + n > size) {
            size = built + n;  // a very long row gets a block of its own
            block = BlockPool::allocate(size);
        } else if (size == BlockPool::kBlockSize) {
            block = BlockPool::take();
        } else {
            block = BlockPool::allocate(size);
        }
        if (built > 0) std::memcpy(block.get(), row_, built);
        row_ = block.get();
        cur_ = row_ + built;
        end_ = row_ + size;
        blocks_.push_back({std::move(block), size});
    }
    template <typename T>
    void putFixed(Tag tag, T v) {
        char* at = room(1 + sizeof v);
        at[0] = char(tag);
        std::memcpy(at + 1, &v, sizeof v);
    }
    template <typename T>
    static T readFixed(const char* at) {
        T v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    void putBytes(Tag tag, const char* p, std::size_t n) {
        char* at = room(1 + 5 + n);  // tag, length in at most five 7-bit groups, bytes
        *at++ = char(tag);
        std::size_t length = n;
        do {  // the length in 7-bit groups, low first
            *at++ = char((length & 0x7f) | (length > 0x7f ? 0x80 : 0));
            length >>= 7;
        } while (length > 0);
        if (n > 0) std::memcpy(at, p, n);
        cur_ = at + n;  // gives back the length bytes not used
    }
    static std::uint32_t readLength(const char** at) {
        std::uint32_t length = 0;
        int shift = 0;
        std::uint8_t b;
        do {
            b = std::uint8_t(*(*at)++);
            length |= std::uint32_t(b & 0x7f) << shift;
            shift += 7;
        } while (b & 0x80);
        return length;
    }
    static std::size_t sizeAfterTag(Tag tag, const char* at) {
        switch (tag) {
            case Tag::Null:
            case Tag::False:
            case Tag::True:
                return 0;
            case Tag::Int8:
                return 1;
            case Tag::Int16:
                return 2;
            case Tag::Int32:
            case Tag::Date:
                return 4;
            case Tag::Int64:
            case Tag::Number:
                return 8;
            case Tag::Text:
            case Tag::Blob: {
                const char* p = at;
                const std::uint32_t length = readLength(&p);
                return std::size_t(p - at) + length;
            }
        }
        return 0;
    }

    // Finds where each value of a record starts; remembered for the last record asked about,
    // so reading every field of a row walks it once.
    void index(const char* record) const {
        std::size_t at = 0;
        for (int i = 0; i < columns_; ++i) {
            offsets_[std::size_t(i)] = std::uint32_t(at);
            const Tag tag = Tag(record[at]);
            at += 1 + sizeAfterTag(tag, record + at + 1);
        }
        cachedRecord_ = record;
    }

    void release() {
        for (Block& b : blocks_) {
            if (b.size == BlockPool::kBlockSize) BlockPool::give(std::move(b.bytes));
        }
        blocks_.clear();
    }

    struct Block {
        BlockPtr bytes;
        std::size_t size;
    };
    static constexpr std::size_t kFirstBlockSize = 64 * 1024;

    int columns_ = 0;
    std::vector<const char*> records_;
    std::vector<Block> blocks_;
    char* row_ = nullptr;  // start of the row being built
    char* cur_ = nullptr;  // where its next byte goes
    char* end_ = nullptr;  // end of the current block
    std::size_t nextSize_ = kFirstBlockSize;
    mutable const char* cachedRecord_ = nullptr;
    mutable std::vector<std::uint32_t> offsets_;
};

}  // namespace fx::db::detail
