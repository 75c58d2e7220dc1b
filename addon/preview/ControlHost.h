#pragma once
// A window that embeds one ActiveX control (the preview's WebBrowser control): a window
// class of our own with the few site interfaces the control needs (client site,
// in-place site, in-place frame). It stands in for ATL's "AtlAxWin100", whose library
// needs a runtime that Windows 7 lacks.
//
// The window owns the site; the site holds the control. Destroying the window
// deactivates and closes the control, takes the site back from it and releases the
// control. The site is reference-counted: a control that keeps references on it after it
// is closed keeps it alive (and harmless, with no window) until it lets go.
#include <windows.h>

#include <pinchwell/ComPtr.h>

// The host window class, registered by RegisterControlHostClass.
extern const wchar_t kControlHostClass[];

// Registers the class with the module's instance; a class already registered is fine.
void RegisterControlHostClass(HINSTANCE instance);

// Creates the control of the class named by clsid (text form "{...}") inside a window of
// kControlHostClass, in-place active over the window's client area, and gives its IUnknown.
HRESULT EmbedControl(HWND host, const wchar_t* clsid, IUnknown** control);

// How the preview's control is made: EmbedControl unless replaced.
using ControlFactory = HRESULT (*)(HWND host, const wchar_t* clsid, IUnknown** control);
HRESULT CreateHostedControl(HWND host, const wchar_t* clsid, IUnknown** control);
// Replaces the factory for the whole process and returns the one it replaces; null
// restores EmbedControl. Tests only: they put a substitute browser in place of the
// control, whose page they can make ready or not.
ControlFactory SetControlFactory(ControlFactory factory);
