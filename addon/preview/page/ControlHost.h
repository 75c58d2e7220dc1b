#pragma once
// A window that embeds one ActiveX control (the preview's WebBrowser control): a window
// class of our own with the few site interfaces the control needs (client site,
// in-place site, in-place frame), the document host's UI handler and the services of the
// site. It stands in for ATL's "AtlAxWin100", whose library needs a runtime that
// Windows 7 lacks.
//
// The UI handler gives the control what ATL's host gives it by default: no 3-D border
// (which would draw 2 pixels in and move the picture off the page beneath), and no scroll
// bars (the preview page scrolls itself); it shows no context menu, and leaves everything
// else to the control. The services answer the security manager (PreviewSecurityManager.h)
// once the window trusts a template page, nothing else (SVC_E_UNKNOWNSERVICE).
//
// A click on the window never activates it (MA_NOACTIVATE): the preview lies over a page
// whose frame keeps the activation and the focus.
//
// The window owns the site; the site holds the control. Destroying the window
// deactivates and closes the control, takes the site back from it and releases the
// control. The site is reference-counted: a control that keeps references on it after it
// is closed keeps it alive (and harmless, with no window) until it lets go.
#include <windows.h>

#include <pinchwell/ComPtr.h>

#include <string>

// IServiceProvider::QueryService's answer for a service it does not know, as documented;
// no platform header defines it, and Visual Studio's SDK gives it E_FAIL's value.
#ifndef SVC_E_UNKNOWNSERVICE
#define SVC_E_UNKNOWNSERVICE E_FAIL
#endif

// The host window class, registered by RegisterControlHostClass.
extern const wchar_t kControlHostClass[];

// Registers the class with the module's instance; a class already registered is fine.
void RegisterControlHostClass(HINSTANCE instance);

// Creates the control of the class named by clsid (text form "{...}") inside a window of
// kControlHostClass, in-place active over the window's client area, and gives its IUnknown.
HRESULT EmbedControl(HWND host, const wchar_t* clsid, IUnknown** control);

// The host window's control may run the script of the template page at templatePath (a
// plain path, the one the control is navigated to): the site answers the control's
// QueryService(SID_SInternetSecurityManager) with a manager that allows it. Call it once
// the window is created and before the control navigates; an empty path trusts nothing
// again. E_INVALIDARG for a window of another class.
HRESULT TrustTemplatePage(HWND host, const std::wstring& templatePath);

// How the preview's control is made: EmbedControl unless replaced.
using ControlFactory = HRESULT (*)(HWND host, const wchar_t* clsid, IUnknown** control);
HRESULT CreateHostedControl(HWND host, const wchar_t* clsid, IUnknown** control);
// Replaces the factory for the whole process and returns the one it replaces; null
// restores EmbedControl. Tests only: they put a substitute browser in place of the
// control, whose page they can make ready or not.
ControlFactory SetControlFactory(ControlFactory factory);
