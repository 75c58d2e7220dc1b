#pragma once
// A browser tab for the end-to-end tests of Tessel.dll: a thread of its own with a COM
// apartment and a message loop, a window tree with the browser's class names whose
// content window lies away from the screen's corner, a substitute browser over it (page
// that records scrolls and zooms, shell view, DWebBrowserEvents2 connection point) and
// one add-on object created through the add-on's registration.
//
// Everything on the tab is touched on its thread only: the test hands it work with Run,
// which also waits until the thread has taken every message posted to it before.
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <future>
#include <map>
#include <memory>
#include <thread>

#include <pinchwell/ComPtr.h>

#include "CountingBrowser.h"
#include "EventSource.h"

class TabSite {
public:
    // A tab whose frame window's top-left corner is at (left, top) on the screen. With
    // reusedId, an ended thread's id, threads are started and let end until the system
    // gives that id again (Wine does once a few hundred are free); after thousands in vain
    // the tab takes whatever id comes.
    TabSite(int left, int top, DWORD reusedId = 0);
    // Withdraws the add-on's site if it still has one, as the browser does when a tab
    // closes, and ends the thread.
    ~TabSite();
    TabSite(const TabSite&) = delete;
    TabSite& operator=(const TabSite&) = delete;

    // Runs work on the tab's thread after every message posted to the thread before it,
    // and returns when it is done. A thread that does not answer within seconds ends the
    // test program: its state can no longer be trusted.
    void Run(const std::function<void()>& work);

    // Ends the thread as the destructor does, leaving the tab's state to be read. A tab
    // whose add-on object was taken away ends without withdrawing any site.
    void EndThread();

    DWORD ThreadId() const { return threadId_; }
    HWND Content() const { return content_; }
    RECT ContentRect() const;

    // On the tab's thread only:
    HRESULT created = E_FAIL;                    // CoCreateInstance of the add-on object
    pinchwell::ComPtr<IObjectWithSite> addon;    // the add-on object of the tab
    substitute::PageWithEvents page;             // the tab's substitute browser and page
    substitute::OleWindow shellView;             // its shell window, the "IEFrame"
    std::map<UINT, int> received;                // messages the content window's procedure saw
    pinchwell::ComPtr<IWebBrowser2> wineBrowser;  // Wine's own WebBrowser object, when made
    std::unique_ptr<CountingBrowser> counting;   // the site over it

    // Gives the add-on the substitute browser as its site (on the tab's thread).
    HRESULT AttachSubstitute();
    // Takes the site back: SetSite with null (on the tab's thread).
    HRESULT Detach();

private:
    // The thread: windows, apartment and add-on object, then the message loop until
    // WM_QUIT, then the add-on's site withdrawn and everything released.
    void Main(int left, int top, std::promise<bool>& ready);

    DWORD threadId_ = 0;
    HWND content_ = nullptr;
    std::thread thread_;
};
