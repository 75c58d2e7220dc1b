#pragma once
// The DWebBrowserEvents2 face of the process's event sink: the one dispatch object that
// attach advises on every tab's browser. It has no reference count of its own and acts on
// Addon().eventSink.
#include <windows.h>
#include <exdisp.h>

DWebBrowserEvents2* EventSinkEvents();
