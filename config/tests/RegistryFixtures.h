#pragma once
// Registry helpers for the tests of the browser's keys: they run on the real registry of
// the Wine prefix and put back what they change. A view of 0 is the process's own.
#include <windows.h>

#include <sddl.h>

#include <optional>
#include <string>
#include <vector>

#include "pinchwell/UniqueHandle.h"

inline constexpr const wchar_t* kFlagsValue = L"Compatibility Flags";

inline pinchwell::UniqueRegKey OpenForTest(HKEY root, const std::wstring& path, REGSAM access = KEY_READ,
                                           REGSAM view = 0) {
    pinchwell::UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, access | view, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

inline bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0) {
    return static_cast<bool>(OpenForTest(root, path, KEY_READ, view));
}

// The DWORD value, or nothing when the key or value is missing or of another type.
inline std::optional<DWORD> ReadDword(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view = 0) {
    auto key = OpenForTest(root, path, KEY_READ, view);
    if (!key) return std::nullopt;
    DWORD value = 0, size = sizeof value, type = 0;
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

inline void WriteDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD value, REGSAM view = 0) {
    pinchwell::UniqueRegKey key;
    ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr);
    ::RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

inline void CreateEmptyKey(HKEY root, const std::wstring& path, REGSAM view = 0) {
    pinchwell::UniqueRegKey key;
    ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr);
}

inline void DeleteTree(HKEY root, const std::wstring& path, REGSAM view = 0) {
    if (auto key = OpenForTest(root, path, KEY_ALL_ACCESS, view)) ::RegDeleteTreeW(key.get(), nullptr);
    ::RegDeleteKeyExW(root, path.c_str(), view, 0);
}

inline void WriteText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text,
                      REGSAM view = 0) {
    pinchwell::UniqueRegKey key;
    ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr);
    ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// A volatile key refuses non-volatile children; a non-volatile key accepts them.
// That tells whether a key outlives a restart of the registry's server.
inline bool AcceptsPersistentChild(HKEY root, const std::wstring& path) {
    std::wstring child = path + L"\\PersistenceProbe";
    pinchwell::UniqueRegKey key;
    LONG status = ::RegCreateKeyExW(root, child.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                    key.put(), nullptr);
    key.reset();
    if (status == ERROR_SUCCESS) ::RegDeleteKeyW(root, child.c_str());
    return status == ERROR_SUCCESS;
}

// Replaces a key's access list for the life of the object, then puts the old one back.
class KeyAccessList {
public:
    KeyAccessList(HKEY root, const std::wstring& path, const wchar_t* sddl, REGSAM view = 0) {
        key_ = OpenForTest(root, path, READ_CONTROL | WRITE_DAC, view);
        if (!key_) return;
        DWORD size = 0;
        ::RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (::RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS) return;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
            return;
        applied_ = ::RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        ::LocalFree(descriptor);
    }
    ~KeyAccessList() {
        if (applied_) ::RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data());
    }
    bool applied() const { return applied_; }

private:
    pinchwell::UniqueRegKey key_;
    std::vector<BYTE> saved_;
    bool applied_ = false;
};
