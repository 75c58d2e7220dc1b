#pragma once
// A registrar that records what it is asked to do and fails where a test says.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ServerRegistration.h"

struct RecordedCall {
    std::string operation;  // "CreateKey", "SetString", "SetDword", "DeleteTree", "RegisterTypeLibrary", ...
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::wstring key;
    std::wstring name;
    std::wstring text;
    std::uint32_t number = 0;
    RegistrationScope scope = RegistrationScope::PerMachine;
};

class RecordingRegistrar final : public Registrar {
public:
    // Answers a registry call's Win32 status (0 by default).
    std::function<long(const RecordedCall&)> registryStatus = [](const RecordedCall&) { return 0L; };
    HResult registerTypeLibResult = kOk;
    HResult unregisterTypeLibResult = kOk;
    std::vector<RecordedCall> calls;

    long CreateKey(RegistryRoot root, const std::wstring& key) override {
        return Record({"CreateKey", root, key, {}, {}, 0, {}});
    }
    long SetString(RegistryRoot root, const std::wstring& key, const std::wstring& name,
                   const std::wstring& text) override {
        return Record({"SetString", root, key, name, text, 0, {}});
    }
    long SetDword(RegistryRoot root, const std::wstring& key, const std::wstring& name, std::uint32_t number) override {
        return Record({"SetDword", root, key, name, {}, number, {}});
    }
    long DeleteTree(RegistryRoot root, const std::wstring& key) override {
        return Record({"DeleteTree", root, key, {}, {}, 0, {}});
    }
    HResult RegisterTypeLibrary(RegistrationScope scope) override {
        calls.push_back({"RegisterTypeLibrary", {}, {}, {}, {}, 0, scope});
        return registerTypeLibResult;
    }
    HResult UnregisterTypeLibrary(RegistrationScope scope) override {
        calls.push_back({"UnregisterTypeLibrary", {}, {}, {}, {}, 0, scope});
        return unregisterTypeLibResult;
    }

    std::vector<std::string> Operations() const {
        std::vector<std::string> out;
        for (const auto& call : calls) out.push_back(call.operation);
        return out;
    }

private:
    long Record(RecordedCall call) {
        calls.push_back(call);
        return registryStatus(call);
    }
};
