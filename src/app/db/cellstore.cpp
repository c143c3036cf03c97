#include "cellstore.h"

#include <cstdlib>
#include <mutex>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace fx::db::detail {

namespace {

// Never destroyed: a row set that outlives the end of main() may still give its blocks back.
std::mutex& poolMutex() {
    static auto* m = new std::mutex;
    return *m;
}

std::vector<BlockPtr>& pool() {
    static auto* blocks = new std::vector<BlockPtr>;
    return *blocks;
}

}  // namespace

void FreeBlock::operator()(char* p) const {
    std::free(p);
}

BlockPtr BlockPool::allocate(std::size_t size) {
    auto* p = static_cast<char*>(std::malloc(size));
    if (!p) throw std::bad_alloc();
    return BlockPtr(p);
}

BlockPtr BlockPool::take() {
    {
        const std::lock_guard<std::mutex> lock(poolMutex());
        if (!pool().empty()) {
            BlockPtr block = std::move(pool().back());
            pool().pop_back();
            return block;
        }
    }
    auto* p = static_cast<char*>(std::aligned_alloc(kBlockSize, kBlockSize));
    if (!p) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    madvise(p, kBlockSize, MADV_HUGEPAGE);  // only advice: without huge pages nothing changes
#endif
    return BlockPtr(p);
}

void BlockPool::give(BlockPtr block) {
    const std::lock_guard<std::mutex> lock(poolMutex());
    if (pool().size() < kMaxKept) pool().push_back(std::move(block));
}

}  // namespace fx::db::detail
