#pragma once

#include <QtGlobal>
#include <vector>

namespace fx::admin {

// The demonstration register's random source: splitmix64 with a fixed seed, written out here
// rather than taken from <random>, whose distributions differ between standard libraries. The
// same seed gives the same register on every machine.
class DemoRandom {
public:
    explicit DemoRandom(quint64 seed) : state_(seed) {}

    quint64 next() {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number in [low, high]; low when high < low.
    qint64 range(qint64 low, qint64 high) {
        if (high <= low) return low;
        return low + qint64(next() % quint64(high - low + 1));
    }
    // True with the given chance in percent.
    bool percent(int chance) { return range(0, 99) < chance; }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[size_t(range(0, qint64(items.size()) - 1))];
    }
    template <typename List>
    const auto& pickFrom(const List& items) {
        return items[range(0, qint64(items.size()) - 1)];
    }

private:
    quint64 state_;
};

}  // namespace fx::admin
