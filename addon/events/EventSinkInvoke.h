#pragma once
// The event sink's Invoke, apart from the process state it acts on, so that its handling
// of real argument arrays is tested with a target of the test's own.
#include <windows.h>
#include <exdisp.h>

// What an event changes.
class EventSinkTarget {
public:
    virtual ~EventSinkTarget() = default;
    // The calling thread's tab has become visible.
    virtual void TabBecameVisible() = 0;
    // The calling thread's tab browser while that tab is the current one; null otherwise,
    // or without a preview object or its browser.
    virtual IWebBrowser2* CurrentTabBrowser() = 0;
};

// DISP_E_UNKNOWNINTERFACE for any riid but IID_NULL. Otherwise S_OK, having acted on a
// WindowStateChanged that shows the tab, or on a DocumentComplete of the current tab's
// own browser (its zoom back to 100). Arguments that are missing or of other types, and a
// null params, change nothing; nothing is read beyond what params gives. No exception
// leaves it.
HRESULT InvokeSinkEvent(DISPID dispId, REFIID riid, const DISPPARAMS* params, EventSinkTarget& target);
