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
        {kWindowStateChanged, 1, kTypeI4, kTypeI4, SinkAction::Nothing},  // the second lies beyond the count
        {kWindowStateChanged, 0, kNone, kNone, SinkAction::Nothing},
        {kDocumentComplete, 2, kUrlRef, kTypeDispatch, SinkAction::CompareDocument},
        {kDocumentComplete, 2, kUrlRef, kTypeByRef | kTypeDispatch, SinkAction::CompareDocument},
        {kDocumentComplete, 2, kTypeBstr, kTypeDispatch, SinkAction::CompareDocument},  // the URL is not read
        {kDocumentComplete, 2, kUrlRef, kTypeUnknown, SinkAction::Nothing},
        {kDocumentComplete, 2, kUrlRef, kTypeByRef | kTypeUnknown, SinkAction::Nothing},
        {kDocumentComplete, 2, kUrlRef, kTypeByRef | kTypeVariant, SinkAction::Nothing},
        {kDocumentComplete, 2, kUrlRef, kTypeI4, SinkAction::Nothing},
        {kDocumentComplete, 1, kTypeDispatch, kNone, SinkAction::Nothing},
        {kDocumentComplete, 1, kUrlRef, kTypeDispatch, SinkAction::Nothing},
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

// Which tab's object an event or a message on a thread acts on: always the thread's
// own; a DocumentComplete only while that tab is the current one.
TEST(WhichTabAnEventActsOn, OnlyTheCallingThreadsOwnObject) {
    int a = 0, b = 0;
    ThreadTable<int*> table;
    table.Add(7, &a);
    table.Add(9, &b);
    struct Case {
        const char* name;
        std::uint32_t thread;
        int* current;
        int* becomesCurrent;     // after a WindowStateChanged that shows the thread's tab
        int* documentComplete;   // the object whose tab a DocumentComplete may reset
    } cases[] = {
        {"own tab current", 7, &a, &a, &a},
        {"another tab current", 7, &b, &a, nullptr},
        {"no tab current", 9, nullptr, &b, nullptr},
        {"thread without a tab", 5, &a, nullptr, nullptr},
        {"thread without a tab, none current", 5, nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<int*> current{c.current};
        EXPECT_EQ(DocumentCompleteTarget(table, c.thread, current), c.documentComplete);
        EXPECT_EQ(current.load(), c.current);  // deciding changes nothing
        MakeThreadCurrent(table, c.thread, current);
        EXPECT_EQ(current.load(), c.becomesCurrent);
    }
}
