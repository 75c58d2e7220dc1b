// The registry rows that registration writes and unregistration removes, per machine and per user.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "RegistrationTable.h"
#include "TesselIds.h"

namespace {

const std::wstring kModule = L"C:\\Program Files\\Kestrune\\Pinchwell\\Tessel.dll";
const std::wstring kBho = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
const std::wstring kClsid = tesselid::kClassId;
const std::wstring kAppId = tesselid::kApplicationId;
const std::wstring kLibId = tesselid::kLibraryId;

std::vector<RegistryStep> AllRegistrationSteps(RegistrationScope scope) {
    auto with = TesselSubstitutions(kModule);
    auto steps = RegistrationSteps(RowScript::Module, scope, with);
    auto classSteps = RegistrationSteps(RowScript::Class, scope, with);
    steps.insert(steps.end(), classSteps.begin(), classSteps.end());
    return steps;
}

std::vector<RegistryStep> AllUnregistrationSteps(RegistrationScope scope) {
    auto with = TesselSubstitutions(kModule);
    auto steps = UnregistrationSteps(RowScript::Class, scope, with);
    auto moduleSteps = UnregistrationSteps(RowScript::Module, scope, with);
    steps.insert(steps.end(), moduleSteps.begin(), moduleSteps.end());
    return steps;
}

bool IsBrowserHelperObjectKey(const std::wstring& key) { return key.compare(0, kBho.size(), kBho) == 0; }

// (key relative to the classes key or to the machine, value name, data as text)
using Write = std::tuple<std::wstring, std::wstring, std::wstring>;

std::set<Write> Writes(const std::vector<RegistryStep>& steps, const std::wstring& classesPrefix) {
    std::set<Write> out;
    for (const auto& step : steps) {
        std::wstring key = step.key;
        if (!IsBrowserHelperObjectKey(key)) key = key.substr(classesPrefix.size());
        if (step.action == RegistryStep::Action::SetString) out.insert({key, step.valueName, step.text});
        if (step.action == RegistryStep::Action::SetDword) out.insert({key, step.valueName, std::to_wstring(step.number)});
        if (step.action == RegistryStep::Action::CreateKey) out.insert({key, L"(key)", L""});
    }
    return out;
}

}  // namespace

TEST(RegistrationTable, WritesEveryRowWithItsValue) {
    const std::set<Write> expected = {
        {L"AppID", L"(key)", L""},
        {L"AppID\\" + kAppId, L"", L"Tessel"},
        {L"AppID\\Tessel.DLL", L"AppID", kAppId},
        {kBho, L"(key)", L""},
        {kBho + L"\\" + kClsid, L"", L"Tessel"},
        {kBho + L"\\" + kClsid, L"NoExplorer", L"1"},
        {L"Tessel.TesselImpl.1", L"", L"TesselImpl Class"},
        {L"Tessel.TesselImpl.1\\CLSID", L"", kClsid},
        {L"Tessel.TesselImpl", L"", L"TesselImpl Class"},
        {L"Tessel.TesselImpl\\CLSID", L"", kClsid},
        {L"Tessel.TesselImpl\\CurVer", L"", L"Tessel.TesselImpl.1"},
        {L"CLSID", L"(key)", L""},
        {L"CLSID\\" + kClsid, L"", L"PinchwellAddons"},
        {L"CLSID\\" + kClsid, L"AppID", kAppId},
        {L"CLSID\\" + kClsid + L"\\ProgID", L"", L"Tessel.TesselImpl.1"},
        {L"CLSID\\" + kClsid + L"\\VersionIndependentProgID", L"", L"Tessel.TesselImpl"},
        {L"CLSID\\" + kClsid + L"\\Programmable", L"(key)", L""},
        {L"CLSID\\" + kClsid + L"\\InprocServer32", L"", kModule},
        {L"CLSID\\" + kClsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {L"CLSID\\" + kClsid + L"\\TypeLib", L"", kLibId},
    };
    EXPECT_EQ(Writes(AllRegistrationSteps(RegistrationScope::PerMachine), L"Software\\Classes\\"), expected);
    EXPECT_EQ(Writes(AllRegistrationSteps(RegistrationScope::PerUser), L"Software\\Classes\\"), expected);
}

TEST(RegistrationTable, ClassesGoToTheScopesClassesKeyAndTheHelperEntryToTheMachine) {
    const struct {
        RegistrationScope scope;
        RegistryRoot classesRoot;
    } cases[] = {
        {RegistrationScope::PerMachine, RegistryRoot::LocalMachine},
        {RegistrationScope::PerUser, RegistryRoot::CurrentUser},
    };
    for (const auto& c : cases) {
        auto steps = AllRegistrationSteps(c.scope);
        auto removals = AllUnregistrationSteps(c.scope);
        steps.insert(steps.end(), removals.begin(), removals.end());
        for (const auto& step : steps) {
            SCOPED_TRACE(std::string(step.key.begin(), step.key.end()));
            if (IsBrowserHelperObjectKey(step.key)) {
                EXPECT_EQ(step.root, RegistryRoot::LocalMachine);
            } else {
                EXPECT_EQ(step.root, c.classesRoot);
                EXPECT_EQ(step.key.rfind(L"Software\\Classes\\", 0), 0u);
            }
        }
    }
}

TEST(RegistrationTable, ReplacedKeysLoseTheirOldTreeBeforeTheirFirstWrite) {
    auto steps = AllRegistrationSteps(RegistrationScope::PerMachine);
    const std::wstring replaced[] = {
        kBho + L"\\" + kClsid,
        L"Software\\Classes\\CLSID\\" + kClsid,
        L"Software\\Classes\\CLSID\\" + kClsid + L"\\Programmable",
    };
    std::vector<std::wstring> deleted;
    for (const auto& step : steps)
        if (step.action == RegistryStep::Action::DeleteTree) deleted.push_back(step.key);
    EXPECT_EQ(deleted, std::vector<std::wstring>(std::begin(replaced), std::end(replaced)));

    for (const auto& key : replaced) {
        auto deletion = std::find_if(steps.begin(), steps.end(), [&](const RegistryStep& s) {
            return s.action == RegistryStep::Action::DeleteTree && s.key == key;
        });
        auto firstWrite = std::find_if(steps.begin(), steps.end(), [&](const RegistryStep& s) {
            return s.action != RegistryStep::Action::DeleteTree && s.key.rfind(key, 0) == 0;
        });
        EXPECT_LT(deletion, firstWrite);
    }
}

TEST(RegistrationTable, UnregistrationRemovesOnlyTheAddonsOwnKeys) {
    std::vector<std::wstring> removed;
    for (const auto& step : AllUnregistrationSteps(RegistrationScope::PerMachine)) {
        EXPECT_EQ(step.action, RegistryStep::Action::DeleteTree);
        removed.push_back(step.key);
    }
    const std::vector<std::wstring> expected = {
        L"Software\\Classes\\Tessel.TesselImpl.1",
        L"Software\\Classes\\Tessel.TesselImpl",
        L"Software\\Classes\\CLSID\\" + kClsid,
        L"Software\\Classes\\AppID\\" + kAppId,
        L"Software\\Classes\\AppID\\Tessel.DLL",
        kBho + L"\\" + kClsid,
    };
    EXPECT_EQ(removed, expected);
}

TEST(RegistrationTable, SubstitutesEachPlaceholderOnceAndLeavesOtherText) {
    RegistrySubstitutions with{L"{app}", L"{class}", L"{lib}", L"C:\\50%MODULE%\\%APPID%.dll"};
    const struct {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"%APPID%", L"{app}"},
        {L"CLSID\\%CLSID%\\TypeLib", L"CLSID\\{class}\\TypeLib"},
        {L"%LIBID%%CLSID%", L"{lib}{class}"},
        {L"%MODULE%", L"C:\\50%MODULE%\\%APPID%.dll"},  // the path's own text stays as it is
        {L"%OTHER% 100%", L"%OTHER% 100%"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(Substitute(c.text, with), c.expected);
}
