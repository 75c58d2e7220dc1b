// Registration, unregistration and DllInstall over a recording registrar: order, failures, rollback.
#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingRegistrar.h"
#include "ServerRegistration.h"

namespace {

constexpr long kAccessDenied = 5;
constexpr HResult kAccessDeniedResult = static_cast<HResult>(0x80070005u);
constexpr HResult kTypeLibFailure = static_cast<HResult>(0x80029C4Au);  // TYPE_E_CANTLOADLIBRARY
const RegistrySubstitutions kWith = TesselSubstitutions(L"C:\\Tessel.dll");

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Denies every write and deletion of the key whose path ends with `key`.
std::function<long(const RecordedCall&)> DenyKey(const std::wstring& key) {
    return [key](const RecordedCall& call) { return EndsWith(call.key, key) ? kAccessDenied : 0L; };
}

std::size_t IndexOf(const RecordingRegistrar& registrar, const std::string& operation) {
    auto ops = registrar.Operations();
    return static_cast<std::size_t>(std::find(ops.begin(), ops.end(), operation) - ops.begin());
}

}  // namespace

TEST(DllInstallCommandLine, OnlyUserInAnyCaseAsksForPerUserRegistration) {
    const struct {
        const wchar_t* commandLine;
        bool perUser;
    } cases[] = {
        {L"user", true}, {L"USER", true}, {L"uSeR", true},  {L"users", false}, {L"use", false},
        {L"", false},    {L" user", false}, {L"user ", false}, {L"usr", false},  {nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine ? std::wstring(c.commandLine).size() : 99);
        EXPECT_EQ(IsPerUserCommandLine(c.commandLine), c.perUser);
    }
}

TEST(ServerRegistration, WritesTheModuleThenTheClassThenTheTypeLibrary) {
    RecordingRegistrar registrar;
    EXPECT_EQ(RegisterServer(registrar, RegistrationScope::PerUser, kWith), kOk);
    auto appId = std::find_if(registrar.calls.begin(), registrar.calls.end(),
                              [](const RecordedCall& c) { return c.key.find(L"AppID") != std::wstring::npos; });
    auto progId = std::find_if(registrar.calls.begin(), registrar.calls.end(),
                               [](const RecordedCall& c) { return c.key.find(L"Tessel.TesselImpl") != std::wstring::npos; });
    EXPECT_LT(appId, progId);
    ASSERT_EQ(registrar.calls.back().operation, "RegisterTypeLibrary");
    EXPECT_EQ(registrar.calls.back().scope, RegistrationScope::PerUser);
}

TEST(ServerRegistration, StopsAtTheFirstFailureAndAnswersIt) {
    const struct {
        const wchar_t* deniedKey;
        HResult typeLib;
        HResult expected;
        bool typeLibAsked;
    } cases[] = {
        {L"\\AppID\\Tessel.DLL", kOk, kAccessDeniedResult, false},
        {L"\\Tessel.TesselImpl", kOk, kAccessDeniedResult, false},
        {L"\\InprocServer32", kOk, kAccessDeniedResult, false},
        {L"\\nothing denied", kTypeLibFailure, kTypeLibFailure, true},
    };
    for (const auto& c : cases) {
        RecordingRegistrar registrar;
        registrar.registryStatus = DenyKey(c.deniedKey);
        registrar.registerTypeLibResult = c.typeLib;
        EXPECT_EQ(RegisterServer(registrar, RegistrationScope::PerMachine, kWith), c.expected);
        auto failed = std::find_if(registrar.calls.begin(), registrar.calls.end(),
                                   [&](const RecordedCall& call) { return EndsWith(call.key, c.deniedKey); });
        if (failed != registrar.calls.end()) {
            EXPECT_EQ(failed + 1, registrar.calls.end());
        }
        EXPECT_EQ(IndexOf(registrar, "RegisterTypeLibrary") < registrar.calls.size(), c.typeLibAsked);
    }
}

TEST(ServerRegistration, AKeyAlreadyMissingIsNoFailure) {
    RecordingRegistrar registrar;
    registrar.registryStatus = [](const RecordedCall& call) { return call.operation == "DeleteTree" ? 2L : 0L; };
    EXPECT_EQ(RegisterServer(registrar, RegistrationScope::PerMachine, kWith), kOk);
    EXPECT_EQ(UnregisterServer(registrar, RegistrationScope::PerMachine, kWith), kOk);
}

TEST(ServerUnregistration, TriesEveryStepAndAnswersTheFirstFailure) {
    RecordingRegistrar registrar;
    registrar.registryStatus = DenyKey(L"\\Tessel.TesselImpl");
    registrar.unregisterTypeLibResult = kTypeLibFailure;
    EXPECT_EQ(UnregisterServer(registrar, RegistrationScope::PerMachine, kWith), kAccessDeniedResult);
    auto ops = registrar.Operations();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "DeleteTree"), 6);
    // Classes, then the type library, then the module's keys.
    EXPECT_LT(IndexOf(registrar, "UnregisterTypeLibrary"), registrar.calls.size());
    EXPECT_TRUE(EndsWith(registrar.calls[2].key, L"}"));  // the class id's key
    EXPECT_EQ(registrar.calls[3].operation, "UnregisterTypeLibrary");
    EXPECT_NE(registrar.calls[4].key.find(L"AppID"), std::wstring::npos);
}

TEST(DllInstall, RollsAFailedRegistrationBackAndAnswersTheRegistrationsFailure) {
    RecordingRegistrar registrar;
    registrar.registryStatus = DenyKey(L"\\Tessel.TesselImpl\\CurVer");
    registrar.unregisterTypeLibResult = kTypeLibFailure;  // the rollback's own failures are not the answer
    EXPECT_EQ(InstallServer(registrar, true, L"user", kWith), kAccessDeniedResult);

    std::size_t failedAt = 0;
    while (!EndsWith(registrar.calls[failedAt].key, L"\\CurVer")) ++failedAt;
    std::vector<std::wstring> removed;
    for (std::size_t i = failedAt + 1; i < registrar.calls.size(); ++i) {
        const auto& call = registrar.calls[i];
        if (call.operation == "UnregisterTypeLibrary") {
            EXPECT_EQ(call.scope, RegistrationScope::PerUser);
            continue;
        }
        EXPECT_EQ(call.operation, "DeleteTree");
        removed.push_back(call.key);
        if (call.key.find(L"Browser Helper Objects") == std::wstring::npos) {
            EXPECT_EQ(call.root, RegistryRoot::CurrentUser);
        }
    }
    EXPECT_EQ(removed.size(), 6u);
    EXPECT_EQ(IndexOf(registrar, "RegisterTypeLibrary"), registrar.calls.size());
}

TEST(DllInstall, RegistersOrUnregistersInTheScopeOfTheCommandLine) {
    const struct {
        bool install;
        const wchar_t* commandLine;
        std::string typeLibOperation;
        RegistrationScope scope;
    } cases[] = {
        {true, L"user", "RegisterTypeLibrary", RegistrationScope::PerUser},
        {true, nullptr, "RegisterTypeLibrary", RegistrationScope::PerMachine},
        {true, L"users", "RegisterTypeLibrary", RegistrationScope::PerMachine},
        {false, L"USER", "UnregisterTypeLibrary", RegistrationScope::PerUser},
        {false, L"use", "UnregisterTypeLibrary", RegistrationScope::PerMachine},
    };
    for (const auto& c : cases) {
        RecordingRegistrar registrar;
        EXPECT_EQ(InstallServer(registrar, c.install, c.commandLine, kWith), kOk);
        auto ops = registrar.Operations();
        EXPECT_EQ(std::count(ops.begin(), ops.end(), "RegisterTypeLibrary") +
                      std::count(ops.begin(), ops.end(), "UnregisterTypeLibrary"),
                  1);
        auto at = IndexOf(registrar, c.typeLibOperation);
        ASSERT_LT(at, registrar.calls.size());
        EXPECT_EQ(registrar.calls[at].scope, c.scope);
    }
}

TEST(DllInstall, AnswersTheUnregistrationsResultWhenRemoving) {
    RecordingRegistrar registrar;
    registrar.unregisterTypeLibResult = kTypeLibFailure;
    EXPECT_EQ(InstallServer(registrar, false, nullptr, kWith), kTypeLibFailure);
}
