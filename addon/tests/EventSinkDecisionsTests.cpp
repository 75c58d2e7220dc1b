// What the event sink does with an event, from its dispatch id and argument types, and
// the change of the current tab when a tab becomes visible.
#include <gtest/gtest.h>

#include "EventSinkDecisions.h"

using namespace sinkevent;

TEST(SinkAction, FollowsTheEventAndItsArgumentTypes) {
    constexpr std::uint16_t kNone = 0;  // VT_EMPTY
    constexpr std::uint16_t kUrlRef = kTypeByRef | kTypeVariant;
    struct Case {
        std::int32_t dispId;
        std::uint32_t count;
        std::uint16_t type0, type1;
        SinkAction action;
    } cases[] = {
        {kWindowStateChanged, 2, kTypeI4, kTypeI4, SinkAction::ReadWindowState},
        {kWindowStateChanged, 2, kTypeUI4, kTypeInt, SinkAction::ReadWindowState},
        {kWindowStateChanged, 2, kTypeUInt, kTypeI4, SinkAction::ReadWindowState},
        {kWindowStateChanged, 3, kTypeI4, kTypeI4, SinkAction::ReadWindowState},
        {kWindowStateChanged, 2, kTypeI2, kTypeI4, SinkAction::Nothing},
        {kWindowStateChanged, 2, kTypeI4, kTypeBstr, SinkAction::Nothing},
        {kWindowStateChanged, 2, kTypeI4, kTypeByRef | kTypeI4, SinkAction::Nothing},
        {kWindowStateChanged, 2, kTypeDispatch, kTypeI4, SinkAction::Nothing},
        {kWindowStateChanged, 1, kTypeI4, kNone, SinkAction::Nothing},
        {kWindowStateChanged, 0, kNone, kNone, SinkAction::Nothing},
        {kDocumentComplete, 2, kUrlRef, kTypeDispatch, SinkAction::CompareDocument},
        {kDocumentComplete, 2, kUrlRef, kTypeByRef | kTypeDispatch, SinkAction::CompareDocument},
        {kDocumentComplete, 2, kTypeBstr, kTypeDispatch, SinkAction::CompareDocument},  // the URL is not read
        {kDocumentComplete, 2, kUrlRef, kTypeUnknown, SinkAction::Nothing},
        {kDocumentComplete, 2, kUrlRef, kTypeByRef | kTypeUnknown, SinkAction::Nothing},
        {kDocumentComplete, 2, kUrlRef, kTypeByRef | kTypeVariant, SinkAction::Nothing},
        {kDocumentComplete, 2, kUrlRef, kTypeI4, SinkAction::Nothing},
        {kDocumentComplete, 1, kTypeDispatch, kNone, SinkAction::Nothing},
        {kBeforeNavigate2, 7, kTypeDispatch, kTypeDispatch, SinkAction::Nothing},
        {0, 2, kTypeI4, kTypeI4, SinkAction::Nothing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideSinkAction(c.dispId, c.count, c.type0, c.type1), c.action)
            << c.dispId << " " << c.count << " " << c.type0 << " " << c.type1;
}

TEST(SinkAction, ATabIsVisibleOnlyWhenTheBitIsValidAndSet) {
    struct Case {
        std::uint32_t mask, flags;
        bool visible;
    } cases[] = {
        {0x1, 0x1, true}, {0x3, 0x3, true}, {0xFFFFFFFF, 0x1, true},
        {0x1, 0x0, false}, {0x0, 0x1, false}, {0x2, 0x3, false}, {0x3, 0x2, false},
    };
    for (const Case& c : cases) EXPECT_EQ(BecameVisible(c.mask, c.flags), c.visible) << c.mask << " " << c.flags;
}

TEST(MakeThreadCurrent, TheThreadsPreviewBecomesCurrentAndCallback) {
    int a = 0, b = 0, other = 0;
    ThreadTable<int*> table;
    table.Add(7, &a);
    table.Add(9, &b);
    std::atomic<int*> current{&a};
    std::atomic<int*> callback{&other};
    MakeThreadCurrent(table, 9, current, callback);
    EXPECT_EQ(current.load(), &b);
    EXPECT_EQ(callback.load(), &b);
}

TEST(MakeThreadCurrent, AThreadWithoutPreviewLeavesNoCurrentAndTheCallback) {
    int a = 0, other = 0;
    ThreadTable<int*> table;
    table.Add(7, &a);
    std::atomic<int*> current{&a};
    std::atomic<int*> callback{&other};
    MakeThreadCurrent(table, 5, current, callback);
    EXPECT_EQ(current.load(), nullptr);
    EXPECT_EQ(callback.load(), &other);
}
