// The message hook's handling of the four messages, as sequences of messages and their
// outcomes: swallowed or passed, scroll offsets, drag state, and what reached the platform.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "AddonLog.h"
#include "LoggingForTests.h"
#include "MessageHook.h"
#include "SubstituteBrowser.h"
#include "TestFiles.h"
#include "ZoomCommands.h"

namespace {

using Scrolls = std::vector<std::pair<std::int32_t, std::int32_t>>;
using Calls = std::vector<std::string>;

WindowHandle const kContent = reinterpret_cast<WindowHandle>(0x1000);
WindowHandle const kOther = reinterpret_cast<WindowHandle>(0x2000);
WindowHandle const kPreview = reinterpret_cast<WindowHandle>(0x3000);  // a window of the shown preview
// The content window lies below the toolbars, away from the screen's corner.
constexpr ScreenRect kContentRect{200, 150, 1200, 950};

// A platform that answers from its fields and records the actions asked of it.
class FakePlatform : public HookPlatform {
public:
    bool enabled = true;
    bool tapResets = true;
    bool gestureReadable = true;
    std::uint32_t gestureId = hookmsg::kGestureZoom;
    bool preview = true;
    SubstituteBrowser* browser = nullptr;
    bool textCursor = false;
    bool contentFound = true;
    const AddonLogger* logger = nullptr;
    std::function<void()> whileBoxOpen;

    Calls calls;          // actions, in order
    int settingReads = 0;  // "Enable" lookups
    int searches = 0;      // content window searches
    int previewQueries = 0;

    bool IsEnabled() override { ++settingReads; return enabled; }
    bool TwoFingerTapResetsZoom() override { return tapResets; }
    void LogGestureWhileDisabled() override {
        calls.push_back("log");
        if (logger) logger->LogGestureWhileDisabled();
    }
    bool ReadGestureId(std::uint32_t& id) override {
        calls.push_back("read");
        if (gestureReadable) id = gestureId;
        return gestureReadable;
    }
    void CloseGesture() override { calls.push_back("close"); }
    bool HasCurrentPreview() override { return preview; }
    void ForwardToPreview() override { calls.push_back("forward"); }
    void ShowTabSwitchError() override {
        calls.push_back("box");
        if (whileBoxOpen) whileBoxOpen();
        calls.push_back("box closed");
    }
    IBrowserHost* CurrentBrowser() override { return preview ? browser : nullptr; }
    bool IsPreviewWindow(WindowHandle window) override {
        ++previewQueries;
        return window == kPreview;
    }
    bool IsTextCursor() override { return textCursor; }
    bool FindContentWindow(ContentWindow& found) override {
        ++searches;
        if (!preview || !contentFound) return false;
        found = {kContent, kContentRect};
        return true;
    }
};

struct Drag {
    DragState drag;
    std::atomic<bool> errorBoxOpen{false};
    HookState State() { return {drag, errorBoxOpen}; }
};

std::uint64_t ClientLParam(std::int32_t x, std::int32_t y) {
    return (static_cast<std::uint64_t>(static_cast<std::uint16_t>(y)) << 16) | static_cast<std::uint16_t>(x);
}

// Messages inside the content window, well off its scroll bars, unless told otherwise.
HookMessage Message(std::uint32_t number, WindowHandle window = kContent, std::int32_t sx = 600, std::int32_t sy = 500) {
    HookMessage m;
    m.message = number;
    m.window = window;
    m.x = sx;
    m.y = sy;
    return m;
}
HookMessage Down(WindowHandle window = kContent, std::int32_t sx = 600, std::int32_t sy = 500) {
    return Message(hookmsg::kLButtonDown, window, sx, sy);
}
HookMessage Up(WindowHandle window = kContent) { return Message(hookmsg::kLButtonUp, window); }
HookMessage Move(std::int32_t cx, std::int32_t cy, WindowHandle window = kContent, std::int32_t sx = 600,
                 std::int32_t sy = 500) {
    HookMessage m = Message(hookmsg::kMouseMove, window, sx, sy);
    m.lParam = ClientLParam(cx, cy);
    return m;
}
HookMessage Gesture() { return Message(hookmsg::kGesture); }
HookMessage Peeked(HookMessage m) {
    m.removing = false;
    return m;
}

constexpr HookResult P = HookResult::Pass;
constexpr HookResult S = HookResult::Swallow;

struct DragCase {
    const char* name;
    std::function<void(FakePlatform&)> facts;
    std::vector<HookMessage> messages;
    std::vector<HookResult> results;
    Scrolls scrolls;
    bool dragging;
    std::int32_t lastX, lastY;
};

void NoFacts(FakePlatform&) {}

}  // namespace

TEST(MessageHookDrag, SequencesGiveTheirOutcomes) {
    const DragCase cases[] = {
        {"first move records, second scrolls by half the travel", NoFacts,
         {Down(), Move(100, 100), Move(90, 80)}, {P, S, S}, {{5, 10}}, true, 90, 80},
        {"half of an odd travel truncates toward zero", NoFacts,
         {Down(), Move(100, 100), Move(103, 97)}, {P, S, S}, {{-1, 1}}, true, 103, 97},
        {"half of an odd, negative vertical travel truncates toward zero", NoFacts,
         {Down(), Move(100, 100), Move(97, 103)}, {P, S, S}, {{1, -1}}, true, 97, 103},
        {"each move scrolls from the one before", NoFacts,
         {Down(), Move(100, 100), Move(90, 80), Move(90, 100)}, {P, S, S, S}, {{5, 10}, {0, -10}}, true, 90, 100},
        {"x = 0 is recorded and counts as no previous point", NoFacts,
         {Down(), Move(0, 50), Move(10, 60), Move(20, 70)}, {P, S, S, S}, {{-5, -5}}, true, 20, 70},
        {"y = 0 is recorded and counts as no previous point", NoFacts,
         {Down(), Move(50, 0), Move(60, 10), Move(70, 20)}, {P, S, S, S}, {{-5, -5}}, true, 70, 20},
        {"a press over text does not start a drag", [](FakePlatform& f) { f.textCursor = true; },
         {Down(), Move(100, 100), Move(90, 80)}, {P, P, P}, {}, false, 0, 0},
        {"\"Enable\" off: nothing is tracked", [](FakePlatform& f) { f.enabled = false; },
         {Down(), Move(100, 100), Move(90, 80), Up()}, {P, P, P, P}, {}, false, 0, 0},
        {"moves without a press pass", NoFacts,
         {Move(100, 100), Move(90, 80)}, {P, P}, {}, false, 0, 0},
        {"a release on the target ends the drag", NoFacts,
         {Down(), Move(100, 100), Up(), Move(90, 80)}, {P, S, P, P}, {}, false, 100, 100},
        {"a release elsewhere leaves the drag on", NoFacts,
         {Down(), Move(100, 100), Up(kOther), Move(90, 80)}, {P, S, P, S}, {{5, 10}}, true, 90, 80},
        {"a move onto another window ends the drag", NoFacts,
         {Down(), Move(100, 100), Move(90, 80, kOther), Move(80, 60)}, {P, S, P, P}, {}, false, 100, 100},
        {"a move onto the scroll bar strip ends the drag", NoFacts,
         {Down(), Move(100, 100), Move(90, 80, kContent, 1171, 500)}, {P, S, P}, {}, false, 100, 100},
        {"a press in the scroll bar strip starts nothing", NoFacts,
         {Down(kContent, 600, 921), Move(100, 100)}, {P, P}, {}, false, 0, 0},
        {"the lower page of a window below the toolbars drags", NoFacts,
         {Down(kContent, 1100, 900), Move(100, 100, kContent, 1100, 900), Move(90, 80, kContent, 1100, 900)},
         {P, S, S}, {{5, 10}}, true, 90, 80},
        {"no content window: no drag", [](FakePlatform& f) { f.contentFound = false; },
         {Down(), Move(100, 100)}, {P, P}, {}, false, 0, 0},
        {"no browser: moves are swallowed and not recorded", [](FakePlatform& f) { f.browser = nullptr; },
         {Down(), Move(100, 100), Move(90, 80)}, {P, S, S}, {}, true, 0, 0},
        {"peeked messages pass untouched", NoFacts,
         {Peeked(Down()), Move(100, 100), Down(), Move(100, 100), Peeked(Move(90, 80)), Peeked(Up()), Move(90, 80)},
         {P, P, P, S, P, P, S}, {{5, 10}}, true, 90, 80},
        {"a second drag starts afresh: its first move only records", NoFacts,
         {Down(), Move(100, 100), Move(90, 80), Up(), Down(), Move(50, 50)}, {P, S, S, P, P, S}, {{5, 10}}, true,
         50, 50},
        {"negative client points are signed 16-bit", NoFacts,
         {Down(), Move(-10, -20), Move(-30, -60)}, {P, S, S}, {{10, 20}}, true, -30, -60},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        SubstituteBrowser browser;
        FakePlatform platform;
        platform.browser = &browser;
        c.facts(platform);
        Drag drag;
        HookState state = drag.State();
        std::vector<HookResult> results;
        for (const HookMessage& m : c.messages) results.push_back(HandleHookMessage(m, platform, state));
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(browser.scrolls, c.scrolls);
        EXPECT_EQ(drag.drag.dragging, c.dragging);
        EXPECT_EQ(drag.drag.lastX, c.lastX);
        EXPECT_EQ(drag.drag.lastY, c.lastY);
    }
}

TEST(MessageHookDrag, AHitTestSearchesTheContentWindowOnce) {
    FakePlatform platform;
    Drag drag;
    HookState state = drag.State();
    HandleHookMessage(Down(), platform, state);
    EXPECT_EQ(platform.searches, 1);
    HandleHookMessage(Move(100, 100), platform, state);
    EXPECT_EQ(platform.searches, 2);
}

TEST(MessageHook, OtherMessagesAndNegativeRangeCostNothing) {
    for (std::uint32_t number : {0x0000u, 0x0100u, 0x0113u, 0x0118u, 0x0120u, 0x01FFu, 0x020Eu, 0x0400u, 0xC000u}) {
        FakePlatform platform;
        Drag drag;
        drag.drag.dragging = true;
        HookState state = drag.State();
        EXPECT_EQ(HandleHookMessage(Message(number), platform, state), P) << number;
        EXPECT_EQ(platform.settingReads, 0) << number;
        EXPECT_TRUE(platform.calls.empty()) << number;
        EXPECT_EQ(platform.searches, 0) << number;
        EXPECT_EQ(platform.previewQueries, 0) << number;
    }
}

TEST(MessageHook, TheRangeTestAdmitsTheHandledMessagesAndNotTheirNeighbours) {
    for (std::uint32_t number : {hookmsg::kGesture, hookmsg::kMouseMove, hookmsg::kLButtonDown, hookmsg::kLButtonUp,
                                 0x0203u, 0x0204u, 0x0209u, 0x020Bu, hookmsg::kLastButton})
        EXPECT_TRUE(MayBeHandledMessage(number)) << number;
    for (std::uint32_t number : {0u, hookmsg::kGesture - 1, hookmsg::kLastButton + 1, 0xFFFFFFFFu})
        EXPECT_FALSE(MayBeHandledMessage(number)) << number;
}

TEST(MessageHook, AMouseButtonOnThePreviewGoesNowhere) {
    // Left, right, middle and X buttons: down, up and double-click; the wheel among them
    // is no press.
    for (std::uint32_t number = hookmsg::kLButtonDown; number <= hookmsg::kLastButton; ++number) {
        FakePlatform platform;
        Drag drag;
        HookState state = drag.State();
        EXPECT_EQ(HandleHookMessage(Message(number, kPreview), platform, state), number == hookmsg::kMouseWheel ? P : S)
            << number;
        EXPECT_EQ(HandleHookMessage(Peeked(Message(number, kPreview)), platform, state), P) << number;
        EXPECT_FALSE(drag.drag.dragging) << number;
    }
}

namespace {

struct GestureCase {
    const char* name;
    std::function<void(FakePlatform&)> facts;
    HookMessage message;
    HookResult result;
    Calls calls;
    std::vector<std::string> browserCalls;
};

}  // namespace

class MessageHookGesture : public StoredZoomTest {};

TEST_F(MessageHookGesture, GesturesGiveTheirOutcomes) {
    auto id = [](std::uint32_t g) { return [g](FakePlatform& f) { f.gestureId = g; }; };
    const GestureCase cases[] = {
        {"a pinch goes to the preview and is swallowed", NoFacts, Gesture(), S, {"read", "forward"}, {}},
        {"a pinch without a preview: one box, swallowed, its handle closed",
         [](FakePlatform& f) { f.preview = false; }, Gesture(), S, {"read", "close", "box", "box closed"}, {}},
        {"a two-finger tap resets the zoom", id(hookmsg::kGestureTwoFingerTap), Gesture(), S, {"read", "close"},
         {"ExecOpticalZoom(100)"}},
        {"a two-finger tap with the reset off is swallowed, zoom unchanged",
         [](FakePlatform& f) { f.gestureId = hookmsg::kGestureTwoFingerTap; f.tapResets = false; }, Gesture(), S,
         {"read", "close"}, {}},
        {"a two-finger tap without a preview is swallowed",
         [](FakePlatform& f) { f.gestureId = hookmsg::kGestureTwoFingerTap; f.preview = false; }, Gesture(), S,
         {"read", "close"}, {}},
        {"begin passes", id(1), Gesture(), P, {"read"}, {}},
        {"end passes", id(2), Gesture(), P, {"read"}, {}},
        {"pan passes", id(4), Gesture(), P, {"read"}, {}},
        {"rotate passes", id(5), Gesture(), P, {"read"}, {}},
        {"press-and-tap passes", id(7), Gesture(), P, {"read"}, {}},
        {"unreadable gesture information passes", [](FakePlatform& f) { f.gestureReadable = false; }, Gesture(), P,
         {"read"}, {}},
        {"\"Enable\" off: a pinch passes with the record", [](FakePlatform& f) { f.enabled = false; }, Gesture(), P,
         {"log"}, {}},
        {"\"Enable\" off: a tap passes with the record",
         [](FakePlatform& f) { f.enabled = false; f.gestureId = hookmsg::kGestureTwoFingerTap; }, Gesture(), P,
         {"log"}, {}},
        {"a peeked pinch passes unread", NoFacts, Peeked(Gesture()), P, {}, {}},
        {"a peeked gesture while off writes no record", [](FakePlatform& f) { f.enabled = false; },
         Peeked(Gesture()), P, {}, {}},
    };
    for (const GestureCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClearStoredZoomFactor();
        SubstituteBrowser browser;
        FakePlatform platform;
        platform.browser = &browser;
        c.facts(platform);
        Drag drag;
        HookState state = drag.State();
        EXPECT_EQ(HandleHookMessage(c.message, platform, state), c.result);
        EXPECT_EQ(platform.calls, c.calls);
        EXPECT_EQ(browser.calls, c.browserCalls);
        bool reset = !c.browserCalls.empty();
        EXPECT_EQ(StoredZoomFactor(), reset ? std::optional<std::uint32_t>(100000) : std::nullopt);
        EXPECT_FALSE(drag.errorBoxOpen.load());
    }
}

TEST(MessageHookErrorBox, PinchesWhileTheBoxIsOpenOpenNoOtherAndAreSwallowed) {
    FakePlatform platform;
    platform.preview = false;
    Drag drag;
    HookState state = drag.State();
    std::vector<HookResult> inner;
    // The box's modal loop pumps messages: the hook sees two more pinches meanwhile.
    platform.whileBoxOpen = [&] {
        inner.push_back(HandleHookMessage(Gesture(), platform, state));
        inner.push_back(HandleHookMessage(Gesture(), platform, state));
    };
    EXPECT_EQ(HandleHookMessage(Gesture(), platform, state), S);
    EXPECT_EQ(inner, (std::vector<HookResult>{S, S}));
    EXPECT_EQ(platform.calls, (Calls{"read", "close", "box", "read", "close", "read", "close", "box closed"}));
    // Once it is closed, the next pinch without a preview gives a box again.
    platform.whileBoxOpen = nullptr;
    platform.calls.clear();
    HandleHookMessage(Gesture(), platform, state);
    EXPECT_EQ(platform.calls, (Calls{"read", "close", "box", "box closed"}));
}

namespace {

class MessageHookLog : public ::testing::Test {
protected:
    void TearDown() override { ResetLogging(); }
    // Three gestures while "Enable" is off, with the logger at level; what was written.
    std::string GesturesWhileDisabledAt(const std::string& level) {
        std::string log = folder.File("addon.log");
        WriteFileBytes(folder.File("log4cxx.properties"), FileLoggingProperties(level, log));
        AddonLogger logger;
        logger.Configure(folder.File("log4cxx.properties"));
        FakePlatform platform;
        platform.enabled = false;
        platform.logger = &logger;
        Drag drag;
        HookState state = drag.State();
        for (std::uint32_t g : {hookmsg::kGestureZoom, hookmsg::kGestureTwoFingerTap, 4u}) {
            platform.gestureId = g;
            EXPECT_EQ(HandleHookMessage(Gesture(), platform, state), P);
        }
        HandleHookMessage(Down(), platform, state);  // only gestures write the record
        HandleHookMessage(Up(), platform, state);
        return ReadFileBytes(log);
    }
    TestFolder folder;
};

}  // namespace

TEST_F(MessageHookLog, WhileDisabledEachGestureWritesBreakAtDebug) {
    if (!LogsThroughLog4cxx()) GTEST_SKIP() << "the record goes to the debugger output in this build";
    const std::string record = "DEBUG|PinchkitBHO|EventSink|218|GetMsgProc|break\n";
    EXPECT_EQ(GesturesWhileDisabledAt("DEBUG"), record + record + record);
}

TEST_F(MessageHookLog, WhileDisabledNothingIsWrittenAboveDebug) {
    if (!LogsThroughLog4cxx()) GTEST_SKIP() << "the record goes to the debugger output in this build";
    EXPECT_EQ(GesturesWhileDisabledAt("INFO"), "");
}
