#pragma once
// What the event sink does with a browser event, decided from the dispatch id and the
// types of the arguments alone, before anything is read through them; and the change of
// the current tab when a tab becomes visible.
#include <atomic>
#include <cstdint>

#include "ThreadTable.h"

namespace sinkevent {
constexpr std::int32_t kBeforeNavigate2 = 250;
constexpr std::int32_t kDocumentComplete = 259;
constexpr std::int32_t kWindowStateChanged = 283;
constexpr std::uint32_t kUserVisible = 0x1;  // OLECMDIDF_WINDOWSTATE_USERVISIBLE

// Variant types (VARTYPE values).
constexpr std::uint16_t kTypeI2 = 2;
constexpr std::uint16_t kTypeI4 = 3;
constexpr std::uint16_t kTypeBstr = 8;
constexpr std::uint16_t kTypeDispatch = 9;
constexpr std::uint16_t kTypeVariant = 12;
constexpr std::uint16_t kTypeUnknown = 13;
constexpr std::uint16_t kTypeUI4 = 19;
constexpr std::uint16_t kTypeInt = 22;
constexpr std::uint16_t kTypeUInt = 23;
constexpr std::uint16_t kTypeByRef = 0x4000;
}  // namespace sinkevent

enum class SinkAction {
    Nothing,
    ReadWindowState,  // read mask (argument 0) and flags (argument 1) as 32-bit integers
    CompareDocument,  // read the browser or frame (argument 1) as a dispatch pointer
};

// The action for an event with argumentCount arguments whose first two have the types
// type0 and type1 (ignored beyond argumentCount). WindowStateChanged needs both
// arguments as 32-bit integers by value (VT_I4 as the browser sends them, or VT_UI4,
// VT_INT, VT_UINT: the same 32 bits); DocumentComplete needs its second argument as a
// dispatch pointer, by value or by reference. Anything else does nothing.
SinkAction DecideSinkAction(std::int32_t dispId, std::uint32_t argumentCount, std::uint16_t type0,
                            std::uint16_t type1);

bool IsWindowStateIntegerType(std::uint16_t type);
bool IsDispatchArgumentType(std::uint16_t type);

// The tab has become visible to the user: the bit is valid and set.
constexpr bool BecameVisible(std::uint32_t mask, std::uint32_t flags) {
    return (mask & sinkevent::kUserVisible) != 0 && (flags & sinkevent::kUserVisible) != 0;
}

// The calling thread's preview object becomes the current one (null when the thread has
// none).
template <typename Preview>
void MakeThreadCurrent(const ThreadTable<Preview*>& previewTable, std::uint32_t thread,
                       std::atomic<Preview*>& currentPreview) {
    currentPreview = previewTable.Lookup(thread);
}

// The preview object whose tab a DocumentComplete on the calling thread may reset: the
// thread's own, and only while it is the current tab. Decided by comparing pointers:
// the current object may belong to another thread and is never used here.
template <typename Preview>
Preview* DocumentCompleteTarget(const ThreadTable<Preview*>& previewTable, std::uint32_t thread,
                                const std::atomic<Preview*>& currentPreview) {
    Preview* own = previewTable.Lookup(thread);
    return own && own == currentPreview.load() ? own : nullptr;
}
