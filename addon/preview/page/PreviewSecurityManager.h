#pragma once
// The security manager that the preview control's host gives the control (through
// IServiceProvider::QueryService(SID_SInternetSecurityManager)). The browser's own manager
// asks it first and goes by its answer unless it is INET_E_DEFAULT_ACTION: it allows the
// template page's script (TemplateSecurity.h) and leaves every other URL, action and
// question to the browser's manager, so that nothing else is widened.
#include <windows.h>
#include <urlmon.h>

#include <string>

// A new manager for the template page at templatePath (a plain path), as the interface iid
// (IUnknown or IInternetSecurityManager), with one reference for the caller.
HRESULT CreatePreviewSecurityManager(const std::wstring& templatePath, REFIID iid, void** out);
