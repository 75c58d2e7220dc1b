#pragma once
// Replaces, for the life of the object, the address that a loaded module's import table
// holds for one function of another library, so that the module's calls go to a test's
// function instead. The module stays loaded while it is patched (the object holds a
// reference on it), and the entries get their old address back at the end.
//
// Code that copied the address before the patch (a function pointer taken once and kept)
// keeps calling the original: patch before the module's first use of the function.
#include <windows.h>

#include <vector>

#include <pinchwell/UniqueHandle.h>

class ImportPatch {
public:
    // Patches every import entry of module for function of library (a name such as
    // "user32.dll", compared without regard to case). Entries() is 0 when there is none.
    ImportPatch(HMODULE module, const char* library, const char* function, const void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    std::size_t Entries() const { return patched_.size(); }

private:
    struct Entry {
        ULONG_PTR* slot;
        ULONG_PTR original;
    };
    pinchwell::UniqueModule pinned_;
    std::vector<Entry> patched_;
};
