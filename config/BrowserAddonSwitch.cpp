#include "BrowserAddonSwitch.h"

#include <string>

#include "TesselIds.h"
#include "pinchwell/AnsiText.h"
#include "pinchwell/UniqueHandle.h"

namespace {

constexpr const wchar_t* kPolicies = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Ext";
constexpr const wchar_t* kPolicyList = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Ext\\CLSID";
constexpr const wchar_t* kUserSettings = L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\";

pinchwell::UniqueRegKey OpenToRead(HKEY root, const std::wstring& path, REGSAM view) {
    pinchwell::UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

std::optional<std::uint32_t> ReadDword(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view) {
    pinchwell::UniqueRegKey key = OpenToRead(root, path, view);
    DWORD value = 0, size = sizeof value, type = 0;
    if (!key || ::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                    ERROR_SUCCESS || type != REG_DWORD)
        return std::nullopt;
    return value;
}

std::optional<std::string> ReadText(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view) {
    pinchwell::UniqueRegKey key = OpenToRead(root, path, view);
    // The values the browser knows are one digit: a longer text is none of them.
    wchar_t text[64] = {};
    DWORD size = sizeof text - sizeof text[0], type = 0;
    if (!key || ::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
                    ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    return pinchwell::WideToAnsi(text);  // up to its terminator, which the value may lack
}

}  // namespace

BrowserAddonFacts GatherBrowserAddonFactsIn(REGSAM view) {
    BrowserAddonFacts facts;
    facts.userListValue = ReadText(HKEY_CURRENT_USER, kPolicyList, tesselid::kClassId, view);
    facts.machineListValue = ReadText(HKEY_LOCAL_MACHINE, kPolicyList, tesselid::kClassId, view);
    facts.userRestrictToList = ReadDword(HKEY_CURRENT_USER, kPolicies, L"RestrictToList", view);
    facts.machineRestrictToList = ReadDword(HKEY_LOCAL_MACHINE, kPolicies, L"RestrictToList", view);
    facts.userSettingsFlags =
        ReadDword(HKEY_CURRENT_USER, std::wstring(kUserSettings) + tesselid::kClassId, L"Flags", view);
    return facts;
}

std::vector<BrowserAddonFacts> GatherBrowserAddonFacts() {
    return {GatherBrowserAddonFactsIn(KEY_WOW64_64KEY), GatherBrowserAddonFactsIn(KEY_WOW64_32KEY)};
}
