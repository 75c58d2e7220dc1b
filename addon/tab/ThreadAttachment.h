#pragma once
// Attaching a tab thread (its message hook and its preview object, recorded in the two
// per-thread tables) and detaching it again, in a fixed order, over seams for the four
// platform steps so that the order and the tables are tested without a browser.
//
// Seams is a type with:
//   HookHandle InstallHook();          null when the hook cannot be installed
//   void Unhook(HookHandle hook);
//   Preview* CreatePreview(Browser);   a new preview object for the browser; may throw
//   void DestroyPreview(Preview*);     tears it down and frees it (once its thread has
//                                      left it, when the call comes from inside it)
//   std::uint64_t AttachmentOf(Preview*);  which attachment the object stands for: a
//                                      number no later object of the process takes again
//                                      (an address is taken again as soon as it is freed)
//
// Attach leaves nothing half made: a hook is never left without its preview object, nor
// a preview object without its table entry. A hook that cannot be installed is not
// recorded (no null handle is kept to unhook later); the tab still gets its preview
// object, so the browser's events keep acting on it.
#include <atomic>
#include <cstdint>

#include "ThreadTable.h"

// A message hook handle as portable code carries it (an HHOOK on Windows).
using HookHandle = void*;

template <typename Preview>
struct AttachmentTables {
    ThreadTable<Preview*>& previewTable;
    ThreadTable<HookHandle>& hookTable;
    std::atomic<Preview*>& currentPreview;
};

enum class AttachResult { Attached, AttachedWithoutHook, PreviewFailed, TableFailed };

// Removes the thread's hook: unhooks the handle of its first pair, if it has one, and
// removes that pair.
template <typename Preview, typename Seams>
void UnhookThreadFrom(AttachmentTables<Preview> tables, std::uint32_t thread, Seams& seams) {
    HookHandle hook = tables.hookTable.Lookup(thread);
    if (hook) seams.Unhook(hook);
    tables.hookTable.Remove(thread);
}

// Installs the thread's hook, records it, creates the thread's preview object for
// browser, records it and makes it the current one (also for a tab opened in the
// background). The caller has detached the thread first.
template <typename Preview, typename Seams, typename Browser>
AttachResult AttachThreadTo(AttachmentTables<Preview> tables, std::uint32_t thread, Browser browser,
                            Seams& seams) {
    HookHandle hook = seams.InstallHook();
    if (hook) {
        try {
            tables.hookTable.Add(thread, hook);
        } catch (...) {
            seams.Unhook(hook);
            return AttachResult::TableFailed;
        }
    }
    Preview* preview = nullptr;
    try {
        preview = seams.CreatePreview(browser);
    } catch (...) {
        preview = nullptr;
    }
    if (!preview) {
        UnhookThreadFrom(tables, thread, seams);
        return AttachResult::PreviewFailed;
    }
    try {
        tables.previewTable.Add(thread, preview);
    } catch (...) {
        seams.DestroyPreview(preview);
        UnhookThreadFrom(tables, thread, seams);
        return AttachResult::TableFailed;
    }
    tables.currentPreview = preview;
    return hook ? AttachResult::Attached : AttachResult::AttachedWithoutHook;
}

// Unhooks the thread, removes its preview object from the table, stops it being the
// current one (only where it still is: another tab may have become current meanwhile)
// and destroys it. A thread that holds nothing changes nothing.
template <typename Preview, typename Seams>
void DetachThreadFrom(AttachmentTables<Preview> tables, std::uint32_t thread, Seams& seams) {
    UnhookThreadFrom(tables, thread, seams);
    Preview* preview = tables.previewTable.Lookup(thread);
    tables.previewTable.Remove(thread);
    if (!preview) return;
    Preview* expected = preview;
    tables.currentPreview.compare_exchange_strong(expected, nullptr);
    seams.DestroyPreview(preview);
}

// Detaches the thread as DetachThreadFrom does, but only while its preview object is still
// the one of the given attachment: an add-on object whose attachment a newer one on the
// same thread has replaced leaves the newer one alone. Whether it detached.
template <typename Preview, typename Seams>
bool DetachAttachmentFrom(AttachmentTables<Preview> tables, std::uint32_t thread, std::uint64_t attachment,
                          Seams& seams) {
    Preview* preview = tables.previewTable.Lookup(thread);
    if (!preview || seams.AttachmentOf(preview) != attachment) return false;
    DetachThreadFrom(tables, thread, seams);
    return true;
}

// A thread that ended without detaching: its pairs leave both tables, so that a later
// thread given the same id finds nothing of it, and it stops being the current tab. Table
// work only (it runs as the thread ends, under the loader's lock): the hook, windows and
// timers went with the thread, and the preview object, whose apartment is gone, is left
// as it is.
template <typename Preview>
void ForgetThreadIn(AttachmentTables<Preview> tables, std::uint32_t thread) {
    Preview* preview = tables.previewTable.Lookup(thread);
    tables.hookTable.Remove(thread);
    tables.previewTable.Remove(thread);
    if (!preview) return;
    Preview* expected = preview;
    tables.currentPreview.compare_exchange_strong(expected, nullptr);
}
