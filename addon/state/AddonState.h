#pragma once
// The add-on's process-wide state, shared by every tab thread of a browser
// process, and the order in which it is built when the library is loaded.
//
// Each tab runs on a thread of its own and acts only on its own objects: the thread's
// entry in previewTable. The one field shared outside the tables, which tab is current,
// is only ever compared with a thread's own object, never used through; it is an atomic,
// read and written whole without a lock.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "AddonLog.h"
#include "BrowserHost.h"
#include "Settings.h"
#include "ThreadTable.h"

class CZoomPreview;  // the per-tab preview object
struct IWebBrowser2;  // a tab's browser (Windows)

// A message hook handle as portable code carries it (an HHOOK on Windows).
using HookHandle = void*;

// The event sink's state: the two per-thread tables. The sink's DWebBrowserEvents2 face
// is a COM object of the Windows build that works on these tables; it has no reference
// count of its own.
class CEventSink {
public:
    // Both tables empty.
    CEventSink() = default;
    CEventSink(const CEventSink&) = delete;
    CEventSink& operator=(const CEventSink&) = delete;

    // Attachment of the calling tab thread (Windows build): AttachThread installs the
    // thread's message hook, creates its preview object for browser and makes it current,
    // and gives the attachment's number (0 when nothing was attached); DetachThread
    // unhooks the thread (UnhookThread) and tears its preview object down.
    // DetachAttachment does the same only while the thread still has that attachment:
    // several add-on objects may attach one thread, each replacing the one before.
    std::uint64_t AttachThread(IWebBrowser2* browser);
    void DetachThread();
    void DetachAttachment(std::uint64_t attachment);
    void UnhookThread();
    // The thread has ended without detaching: its pairs leave both tables and nothing
    // else is touched. Called from DllMain as the thread ends.
    void ForgetThread(std::uint32_t thread);

    // Thread id -> the thread's preview object. Attach adds it, detach removes it and then
    // deletes the object; at unload nothing left in the table is deleted.
    ThreadTable<CZoomPreview*> previewTable;
    // Thread id -> the thread's WH_GETMESSAGE hook (may be null).
    ThreadTable<HookHandle> hookTable;
};

struct AddonState {
    // The library's state: logging from GetLoggingConfigPath() once ConfigureLogging asks
    // for it, settings from GetConfigPath() at their first read.
    AddonState();
    // The same, with the two files given (tests, tools).
    AddonState(const std::string& loggingConfigPath, const std::string& settingsPath);
    AddonState(const AddonState&) = delete;
    AddonState& operator=(const AddonState&) = delete;

    // Configures logging and sets logger, at the first call only (the first tab's
    // attachment). The library's load builds the state under the loader lock, where
    // neither the shell's folder lookup nor log4cxx's reading of its file belongs.
    void ConfigureLogging();

    // Built in declaration order, after the COM module, and destroyed in the reverse order:
    AddonLogger logger;    // 2: empty holder until ConfigureLogging
    CEventSink eventSink;  // 3: tables
    CSettings settings;    // 4: empty cache

    // The tab attached or made visible last. Compared only: another thread's object.
    std::atomic<CZoomPreview*> currentPreview{nullptr};

private:
    // The logging configuration given, or none for the program folder's.
    const std::optional<std::string> loggingConfigPath_;
};

// The one AddonState of the process, built on first use. The module object of the COM
// server has to be built before it: the file that defines the module object
// calls Addon() from a static initialiser placed after that object, which builds the
// state at load time, in the order above.
AddonState& Addon();

// Destroys the state, before the module object goes. Only for the library's unload by
// FreeLibrary, when no thread runs its code any more; at process end the state is left
// as it is. Nothing may call Addon() afterwards.
void DestroyAddon();
