#include "ImportPatch.h"

#include <cstring>

namespace {

template <typename T>
T* At(HMODULE module, DWORD offset) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

bool WriteSlot(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD protection = 0;
    if (!::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return false;
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, protection, &protection);
    ::FlushInstructionCache(::GetCurrentProcess(), slot, sizeof *slot);
    return true;
}

}  // namespace

ImportPatch::ImportPatch(HMODULE module, const char* library, const char* function, const void* replacement) {
    // A reference of our own: the module cannot go while its table points into this program.
    if (!module || !::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(module),
                                         pinned_.put()))
        return;
    const auto* dos = At<IMAGE_DOS_HEADER>(module, 0);
    const auto* nt = At<IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return;
    // Where the table has no name list, an entry is recognised by the address it holds.
    HMODULE target = ::GetModuleHandleA(library);
    const auto targetAddress =
        reinterpret_cast<ULONG_PTR>(target ? reinterpret_cast<void*>(::GetProcAddress(target, function)) : nullptr);

    for (const auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress); descriptor->Name;
         ++descriptor) {
        if (_stricmp(At<const char>(module, descriptor->Name), library) != 0) continue;
        auto* slots = At<IMAGE_THUNK_DATA>(module, descriptor->FirstThunk);
        const auto* names =
            descriptor->OriginalFirstThunk ? At<IMAGE_THUNK_DATA>(module, descriptor->OriginalFirstThunk) : nullptr;
        for (std::size_t i = 0; slots[i].u1.Function; ++i) {
            bool match = false;
            if (names && !IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) {
                const auto* byName = At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names[i].u1.AddressOfData));
                match = std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0;
            } else if (!names) {
                match = targetAddress && slots[i].u1.Function == targetAddress;
            }
            if (!match) continue;
            auto* slot = reinterpret_cast<ULONG_PTR*>(&slots[i].u1.Function);
            const ULONG_PTR original = *slot;
            if (WriteSlot(slot, reinterpret_cast<ULONG_PTR>(replacement))) patched_.push_back({slot, original});
        }
    }
}

ImportPatch::~ImportPatch() {
    for (auto entry = patched_.rbegin(); entry != patched_.rend(); ++entry) WriteSlot(entry->slot, entry->original);
}
