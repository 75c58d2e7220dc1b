#include "RegistrationTable.h"

#include <algorithm>

#include "TesselIds.h"

namespace {

constexpr const wchar_t* kBrowserHelperObjects =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr const wchar_t* kClassesKey = L"Software\\Classes";

using S = RowScript;
using H = RowHive;
using V = RowValue;
using R = RowRemoval;

std::wstring Join(const wchar_t* a, const wchar_t* b) { return std::wstring(a) + L"\\" + b; }

std::vector<RegistryRow> BuildRows() {
    static const std::wstring bhoKey = Join(kBrowserHelperObjects, L"%CLSID%");
    const wchar_t* bho = bhoKey.c_str();
    return {
        // The module: its application id and the Browser Helper Object entry.
        {S::Module, H::ClassesRoot, L"AppID", nullptr, V::None, nullptr, 0, R::Never, false},
        {S::Module, H::ClassesRoot, L"AppID\\%APPID%", nullptr, V::String, L"Tessel", 0, R::AtUnregistration, false},
        {S::Module, H::ClassesRoot, L"AppID\\Tessel.DLL", L"AppID", V::String, L"%APPID%", 0, R::AtUnregistration, false},
        {S::Module, H::LocalMachine, kBrowserHelperObjects, nullptr, V::None, nullptr, 0, R::Never, false},
        {S::Module, H::LocalMachine, bho, nullptr, V::String, L"Tessel", 0, R::AtUnregistration, true},
        {S::Module, H::LocalMachine, bho, L"NoExplorer", V::Dword, nullptr, 1, R::WithEnclosingKey, false},
        // The class: its ProgIDs and its class id.
        {S::Class, H::ClassesRoot, L"Tessel.TesselImpl.1", nullptr, V::String, L"TesselImpl Class", 0, R::AtUnregistration, false},
        {S::Class, H::ClassesRoot, L"Tessel.TesselImpl.1\\CLSID", nullptr, V::String, L"%CLSID%", 0, R::WithEnclosingKey, false},
        {S::Class, H::ClassesRoot, L"Tessel.TesselImpl", nullptr, V::String, L"TesselImpl Class", 0, R::AtUnregistration, false},
        {S::Class, H::ClassesRoot, L"Tessel.TesselImpl\\CLSID", nullptr, V::String, L"%CLSID%", 0, R::WithEnclosingKey, false},
        {S::Class, H::ClassesRoot, L"Tessel.TesselImpl\\CurVer", nullptr, V::String, L"Tessel.TesselImpl.1", 0, R::WithEnclosingKey, false},
        {S::Class, H::ClassesRoot, L"CLSID", nullptr, V::None, nullptr, 0, R::Never, false},
        {S::Class, H::ClassesRoot, L"CLSID\\%CLSID%", nullptr, V::String, L"PinchwellAddons", 0, R::AtUnregistration, true},
        {S::Class, H::ClassesRoot, L"CLSID\\%CLSID%", L"AppID", V::String, L"%APPID%", 0, R::WithEnclosingKey, false},
        {S::Class, H::ClassesRoot, L"CLSID\\%CLSID%\\ProgID", nullptr, V::String, L"Tessel.TesselImpl.1", 0, R::WithEnclosingKey, false},
        {S::Class, H::ClassesRoot, L"CLSID\\%CLSID%\\VersionIndependentProgID", nullptr, V::String, L"Tessel.TesselImpl", 0, R::WithEnclosingKey, false},
        {S::Class, H::ClassesRoot, L"CLSID\\%CLSID%\\Programmable", nullptr, V::None, nullptr, 0, R::WithEnclosingKey, true},
        {S::Class, H::ClassesRoot, L"CLSID\\%CLSID%\\InprocServer32", nullptr, V::String, L"%MODULE%", 0, R::WithEnclosingKey, false},
        {S::Class, H::ClassesRoot, L"CLSID\\%CLSID%\\InprocServer32", L"ThreadingModel", V::String, L"Apartment", 0, R::WithEnclosingKey, false},
        {S::Class, H::ClassesRoot, L"CLSID\\%CLSID%\\TypeLib", nullptr, V::String, L"%LIBID%", 0, R::WithEnclosingKey, false},
    };
}

RegistryRoot RootOf(RowHive hive, RegistrationScope scope) {
    if (hive == RowHive::ClassesRoot && scope == RegistrationScope::PerUser) return RegistryRoot::CurrentUser;
    return RegistryRoot::LocalMachine;
}

std::wstring KeyOf(const RegistryRow& row, const RegistrySubstitutions& with) {
    std::wstring key = Substitute(row.key, with);
    return row.hive == RowHive::ClassesRoot ? Join(kClassesKey, key.c_str()) : key;
}

}  // namespace

const std::vector<RegistryRow>& TesselRegistryRows() {
    static const std::vector<RegistryRow> rows = BuildRows();
    return rows;
}

RegistrySubstitutions TesselSubstitutions(const std::wstring& modulePath) {
    return {tesselid::kApplicationId, tesselid::kClassId, tesselid::kLibraryId, modulePath};
}

std::wstring Substitute(const std::wstring& text, const RegistrySubstitutions& with) {
    static const std::pair<const wchar_t*, std::wstring RegistrySubstitutions::*> kPlaceholders[] = {
        {L"%APPID%", &RegistrySubstitutions::applicationId},
        {L"%CLSID%", &RegistrySubstitutions::classId},
        {L"%LIBID%", &RegistrySubstitutions::libraryId},
        {L"%MODULE%", &RegistrySubstitutions::modulePath},
    };
    std::wstring out;
    std::size_t at = 0;
    while (at < text.size()) {
        bool replaced = false;
        for (const auto& [name, field] : kPlaceholders) {
            std::wstring_view placeholder(name);
            if (text.compare(at, placeholder.size(), placeholder) == 0) {
                out += with.*field;  // replacement text is never scanned again
                at += placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[at++];
    }
    return out;
}

std::vector<RegistryStep> RegistrationSteps(RowScript script, RegistrationScope scope,
                                            const RegistrySubstitutions& with) {
    using A = RegistryStep::Action;
    std::vector<RegistryStep> steps;
    std::vector<std::wstring> replaced;
    for (const RegistryRow& row : TesselRegistryRows()) {
        if (row.script != script) continue;
        RegistryRoot root = RootOf(row.hive, scope);
        std::wstring key = KeyOf(row, with);
        if (row.replacedWholeAtRegistration && std::find(replaced.begin(), replaced.end(), key) == replaced.end()) {
            replaced.push_back(key);
            steps.push_back({A::DeleteTree, root, key, {}, {}, 0});
        }
        std::wstring name = row.valueName ? row.valueName : L"";
        switch (row.value) {
            case RowValue::None: steps.push_back({A::CreateKey, root, key, {}, {}, 0}); break;
            case RowValue::String: steps.push_back({A::SetString, root, key, name, Substitute(row.text, with), 0}); break;
            case RowValue::Dword: steps.push_back({A::SetDword, root, key, name, {}, row.number}); break;
        }
    }
    return steps;
}

std::vector<RegistryStep> UnregistrationSteps(RowScript script, RegistrationScope scope,
                                              const RegistrySubstitutions& with) {
    std::vector<RegistryStep> steps;
    for (const RegistryRow& row : TesselRegistryRows()) {
        if (row.script != script || row.removal != RowRemoval::AtUnregistration) continue;
        RegistryStep step{RegistryStep::Action::DeleteTree, RootOf(row.hive, scope), KeyOf(row, with), {}, {}, 0};
        bool already = std::any_of(steps.begin(), steps.end(),
                                   [&](const RegistryStep& s) { return s.root == step.root && s.key == step.key; });
        if (!already) steps.push_back(std::move(step));
    }
    return steps;
}
