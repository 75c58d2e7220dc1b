// Placeholder attachment until the event sink lands (removed at merge): lets Tessel.dll
// link on this branch. It attaches nothing and offers no event sink.
#include "AddonState.h"
#include "EventSinkEvents.h"

void CEventSink::AttachThread(IWebBrowser2*) {}
void CEventSink::DetachThread() {}
void CEventSink::UnhookThread() {}

DWebBrowserEvents2* EventSinkEvents() { return nullptr; }
