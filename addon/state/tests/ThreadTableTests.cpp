// The per-thread tables.
#include <gtest/gtest.h>

#include <new>
#include <thread>
#include <vector>

#include "ThreadTable.h"

namespace {

int a, b, c, d;  // objects whose addresses serve as values

std::vector<std::pair<std::uint32_t, int*>> Pairs(const ThreadTable<int*>& table) {
    std::vector<std::pair<std::uint32_t, int*>> pairs;
    for (std::int32_t i = 0; i < table.Count(); ++i) pairs.emplace_back(table.KeyAt(i), table.ValueAt(i));
    return pairs;
}

}  // namespace

TEST(ThreadTable, StartsEmpty) {
    ThreadTable<int*> table;
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Lookup(1), nullptr);
}

TEST(ThreadTable, AddAppendsAtTheEnd) {
    ThreadTable<int*> table;
    table.Add(10, &a);
    table.Add(20, &b);
    table.Add(30, &c);
    using P = std::vector<std::pair<std::uint32_t, int*>>;
    EXPECT_EQ(Pairs(table), (P{{10, &a}, {20, &b}, {30, &c}}));
    EXPECT_EQ(table.Lookup(20), &b);
}

TEST(ThreadTable, RemovingTheMiddleKeyKeepsTheOthersInOrder) {
    ThreadTable<int*> table;
    table.Add(10, &a);
    table.Add(20, &b);
    table.Add(30, &c);
    table.Remove(20);
    using P = std::vector<std::pair<std::uint32_t, int*>>;
    EXPECT_EQ(Pairs(table), (P{{10, &a}, {30, &c}}));
    EXPECT_EQ(table.Lookup(20), nullptr);
    EXPECT_EQ(table.Lookup(30), &c);
}

TEST(ThreadTable, AKeyAddedTwiceIsFoundFirstAndRemovedOnceAtATime) {
    ThreadTable<int*> table;
    table.Add(7, &a);
    table.Add(8, &c);
    table.Add(7, &b);
    EXPECT_EQ(table.Count(), 3);
    EXPECT_EQ(table.Lookup(7), &a);
    table.Remove(7);
    EXPECT_EQ(table.Lookup(7), &b);
    using P = std::vector<std::pair<std::uint32_t, int*>>;
    EXPECT_EQ(Pairs(table), (P{{8, &c}, {7, &b}}));
    table.Remove(7);
    EXPECT_EQ(table.Lookup(7), nullptr);
    EXPECT_EQ(table.Count(), 1);
}

TEST(ThreadTable, AnAbsentKeyIsNullAndRemovingItChangesNothing) {
    ThreadTable<int*> table;
    table.Add(1, &a);
    table.Add(2, &b);
    EXPECT_EQ(table.Lookup(3), nullptr);
    table.Remove(3);
    using P = std::vector<std::pair<std::uint32_t, int*>>;
    EXPECT_EQ(Pairs(table), (P{{1, &a}, {2, &b}}));
}

TEST(ThreadTable, ANullValueIsStoredLikeAnyOther) {
    // A thread whose hook could not be installed still has its pair in the hook table.
    ThreadTable<void*> hooks;
    hooks.Add(5, nullptr);
    hooks.Add(6, &d);
    EXPECT_EQ(hooks.Count(), 2);
    EXPECT_EQ(hooks.Lookup(5), nullptr);
    hooks.Remove(5);
    EXPECT_EQ(hooks.Count(), 1);
    EXPECT_EQ(hooks.Lookup(6), &d);
}

TEST(ThreadTable, ThreadsAddingAndRemovingTheirOwnKeysAtOnceLeaveAConsistentTable) {
    // Tabs attach and detach on their own threads at the same time; each thread only
    // touches its own key, and a lookup must never see another thread's half-done change.
    ThreadTable<int*> table;
    table.Add(999, &d);
    std::vector<std::thread> threads;
    for (std::uint32_t t = 0; t < 8; ++t) {
        threads.emplace_back([&table, t] {
            for (int round = 0; round < 2000; ++round) {
                table.Add(t, &a);
                if (table.Lookup(t) != &a) std::abort();
                table.Remove(t);
                if (table.Lookup(999) != &d) std::abort();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.Lookup(999), &d);
}

namespace {
// A value whose copies fail once copiesLeft runs out, as a growing array whose
// allocation fails would.
struct FragileValue {
    static inline int copiesLeft = -1;  // -1: no limit
    int id = 0;
    FragileValue() = default;
    explicit FragileValue(int i) : id(i) {}
    FragileValue(const FragileValue& other) : id(other.id) {
        if (copiesLeft == 0) throw std::bad_alloc();
        if (copiesLeft > 0) --copiesLeft;
    }
    FragileValue& operator=(const FragileValue&) = default;
};
}  // namespace

TEST(ThreadTable, AnAddThatFailsLeavesTheTableAsItWas) {
    ThreadTable<FragileValue> table;
    table.Add(10, FragileValue(1));
    FragileValue second(2);
    FragileValue::copiesLeft = 1;  // the argument is copied; storing it fails
    EXPECT_THROW(table.Add(20, second), std::bad_alloc);
    FragileValue::copiesLeft = -1;
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.Lookup(20).id, 0);  // no key without its value
    table.Add(30, FragileValue(3));
    EXPECT_EQ(table.KeyAt(1), 30u);
    EXPECT_EQ(table.ValueAt(1).id, 3);
}
