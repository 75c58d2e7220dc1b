// Attach and detach of tab threads: the order of the platform steps, the two tables and
// the current tab, also when a step fails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "ThreadAttachment.h"

namespace {

// The next allocation of the thread fails, as when a table cannot grow.
thread_local bool failNextAllocation = false;

}  // namespace

void* operator new(std::size_t size) {
    if (failNextAllocation) {
        failNextAllocation = false;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
// Every operator new of this program is the one above, which takes its memory from malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace {

struct Preview {
    int id;
    const char* browser;
};

// Platform steps that record themselves; hooks are numbered 1, 2, ... as installed.
struct Seams {
    std::vector<std::string> steps;
    bool hookFails = false;
    bool hookTableFails = false;  // the hook table cannot grow to store the hook
    enum { Creates, Throws, GivesNull } create = Creates;
    std::uintptr_t nextHook = 1;
    int nextPreview = 1;
    std::vector<std::unique_ptr<Preview>> alive;

    HookHandle InstallHook() {
        if (hookFails) {
            steps.push_back("install failed");
            return nullptr;
        }
        steps.push_back("install " + std::to_string(nextHook));
        failNextAllocation = hookTableFails;
        return reinterpret_cast<HookHandle>(nextHook++);
    }
    void Unhook(HookHandle hook) { steps.push_back("unhook " + std::to_string(reinterpret_cast<std::uintptr_t>(hook))); }
    Preview* CreatePreview(const char* browser) {
        if (create == Throws) throw std::bad_alloc();
        if (create == GivesNull) return nullptr;
        alive.push_back(std::make_unique<Preview>(Preview{nextPreview++, browser}));
        steps.push_back("create " + std::to_string(alive.back()->id) + " for " + browser);
        return alive.back().get();
    }
    void DestroyPreview(Preview* preview) {
        steps.push_back("destroy " + std::to_string(preview->id));
        for (auto& p : alive)
            if (p.get() == preview) p.reset();
    }
};

class ThreadAttachment : public ::testing::Test {
protected:
    ThreadTable<Preview*> previews;
    ThreadTable<HookHandle> hooks;
    std::atomic<Preview*> current{nullptr};
    Seams seams;

    AttachmentTables<Preview> Tables() { return {previews, hooks, current}; }
    AttachResult Attach(std::uint32_t thread, const char* browser) {
        return AttachThreadTo(Tables(), thread, browser, seams);
    }
    void Detach(std::uint32_t thread) { DetachThreadFrom(Tables(), thread, seams); }
    // What SetSite does for a site: detach the thread, then attach it.
    void SetSite(std::uint32_t thread, const char* browser) {
        Detach(thread);
        Attach(thread, browser);
    }
    // The tables as text: "thread:hook" and "thread:preview id" pairs in order.
    std::string HookPairs() const {
        std::string text;
        for (std::int32_t i = 0; i < hooks.Count(); ++i)
            text += std::to_string(hooks.KeyAt(i)) + ":" +
                    std::to_string(reinterpret_cast<std::uintptr_t>(hooks.ValueAt(i))) + " ";
        return text;
    }
    std::string PreviewPairs() const {
        std::string text;
        for (std::int32_t i = 0; i < previews.Count(); ++i)
            text += std::to_string(previews.KeyAt(i)) + ":" + std::to_string(previews.ValueAt(i)->id) + " ";
        return text;
    }
};

using Steps = std::vector<std::string>;

}  // namespace

TEST_F(ThreadAttachment, AttachInstallsTheHookBeforeThePreviewAndMakesItCurrent) {
    EXPECT_EQ(Attach(7, "tab"), AttachResult::Attached);
    EXPECT_EQ(seams.steps, (Steps{"install 1", "create 1 for tab"}));
    EXPECT_EQ(HookPairs(), "7:1 ");
    EXPECT_EQ(PreviewPairs(), "7:1 ");
    ASSERT_NE(current.load(), nullptr);
    EXPECT_EQ(current.load()->id, 1);
    EXPECT_STREQ(current.load()->browser, "tab");
}

TEST_F(ThreadAttachment, ASecondSiteOnOneThreadReplacesBothAndUnhooksTheFirst) {
    SetSite(7, "first");
    SetSite(7, "second");
    EXPECT_EQ(seams.steps, (Steps{"install 1", "create 1 for first", "unhook 1", "destroy 1", "install 2",
                                  "create 2 for second"}));
    EXPECT_EQ(HookPairs(), "7:2 ");
    EXPECT_EQ(PreviewPairs(), "7:2 ");
    EXPECT_EQ(current.load()->id, 2);
}

TEST_F(ThreadAttachment, DetachingAThreadThatHoldsNothingChangesNothing) {
    Attach(7, "tab");
    seams.steps.clear();
    Detach(9);
    EXPECT_EQ(seams.steps, Steps{});
    EXPECT_EQ(HookPairs(), "7:1 ");
    EXPECT_EQ(PreviewPairs(), "7:1 ");
    EXPECT_EQ(current.load()->id, 1);
}

TEST_F(ThreadAttachment, ATabOpenedInTheBackgroundBecomesCurrent) {
    Attach(7, "visible");
    Attach(9, "background");
    EXPECT_EQ(current.load()->id, 2);
    EXPECT_EQ(HookPairs(), "7:1 9:2 ");
    EXPECT_EQ(PreviewPairs(), "7:1 9:2 ");
}

TEST_F(ThreadAttachment, DetachingTheCurrentTabLeavesNoCurrentTab) {
    Attach(7, "a");
    Attach(9, "b");
    Detach(9);
    EXPECT_EQ(current.load(), nullptr);
    EXPECT_EQ(seams.steps.back(), "destroy 2");
    EXPECT_EQ(HookPairs(), "7:1 ");
    EXPECT_EQ(PreviewPairs(), "7:1 ");
}

TEST_F(ThreadAttachment, DetachingAnotherTabLeavesTheCurrentOne) {
    Attach(7, "a");
    Attach(9, "b");
    Detach(7);
    ASSERT_NE(current.load(), nullptr);
    EXPECT_EQ(current.load()->id, 2);
    EXPECT_EQ(seams.steps, (Steps{"install 1", "create 1 for a", "install 2", "create 2 for b", "unhook 1",
                                  "destroy 1"}));
}

TEST_F(ThreadAttachment, UnhookRemovesOnlyTheHook) {
    Attach(7, "a");
    UnhookThreadFrom(Tables(), 7, seams);
    EXPECT_EQ(seams.steps.back(), "unhook 1");
    EXPECT_EQ(HookPairs(), "");
    EXPECT_EQ(PreviewPairs(), "7:1 ");
}

TEST_F(ThreadAttachment, AHookThatCannotBeInstalledLeavesTheTabItsPreviewAndNoNullHook) {
    seams.hookFails = true;
    EXPECT_EQ(Attach(7, "tab"), AttachResult::AttachedWithoutHook);
    EXPECT_EQ(HookPairs(), "");
    EXPECT_EQ(PreviewPairs(), "7:1 ");
    ASSERT_NE(current.load(), nullptr);
    EXPECT_EQ(current.load()->id, 1);
    Detach(7);
    EXPECT_EQ(seams.steps, (Steps{"install failed", "create 1 for tab", "destroy 1"}));
}

TEST_F(ThreadAttachment, AFailedStepLeavesNeitherHookNorPreview) {
    struct Case {
        const char* name;
        decltype(Seams::create) create;
        bool hookTableFails;
        AttachResult result;
        Steps steps;
    } cases[] = {
        {"the preview throws", Seams::Throws, false, AttachResult::PreviewFailed, {"install 2", "unhook 2"}},
        {"the preview is not made", Seams::GivesNull, false, AttachResult::PreviewFailed, {"install 2", "unhook 2"}},
        {"the hook table cannot store the hook", Seams::Creates, true, AttachResult::TableFailed,
         {"install 2", "unhook 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ThreadTable<Preview*> otherPreviews;
        ThreadTable<HookHandle> otherHooks;
        std::atomic<Preview*> otherCurrent{nullptr};
        Seams s;
        AttachmentTables<Preview> tables{otherPreviews, otherHooks, otherCurrent};
        AttachThreadTo(tables, 3, "earlier", s);  // another tab, current
        Preview* earlier = otherCurrent;
        s.steps.clear();
        s.create = c.create;
        s.hookTableFails = c.hookTableFails;
        EXPECT_EQ(AttachThreadTo(tables, 7, "tab", s), c.result);
        failNextAllocation = false;
        EXPECT_EQ(s.steps, c.steps);
        EXPECT_EQ(otherHooks.Count(), 1);
        EXPECT_EQ(otherHooks.Lookup(7), nullptr);
        EXPECT_EQ(otherPreviews.Count(), 1);
        EXPECT_EQ(otherPreviews.Lookup(7), nullptr);
        EXPECT_EQ(otherCurrent.load(), earlier);
    }
}
