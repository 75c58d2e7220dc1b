#pragma once
// The settings program: language, settings file check, single instance, dialog.
#include "WinApp.h"
#include "pinchwell/UniqueHandle.h"

class CPinchwellConfigApp : public CWinApp {
public:
    BOOL InitInstance() override;

private:
    // Kept until the process ends: the resources come from it.
    pinchwell::UniqueModule languageLibrary_;
};
