#pragma once
// The registry rows that register Tessel.dll: the module's rows (its application id and
// the Browser Helper Object entry) and the class's rows (the ProgIDs and the class id),
// kept as one table, and the steps that registration and unregistration derive from it.
#include <cstdint>
#include <string>
#include <vector>

enum class RowHive { ClassesRoot, LocalMachine };
enum class RowValue { None, String, Dword };  // None: the row only makes sure the key exists
enum class RowRemoval {
    Never,             // the key stays at unregistration
    AtUnregistration,  // the key and everything below it go at unregistration
    WithEnclosingKey,  // goes when the key above it (or holding it) goes
};
enum class RowScript { Module, Class };  // which part of the registration writes the row

// One row. Keys and string data may hold %APPID%, %CLSID%, %LIBID% and %MODULE%.
struct RegistryRow {
    RowScript script;
    RowHive hive;
    const wchar_t* key;
    const wchar_t* valueName;  // nullptr: the key's default value
    RowValue value;
    const wchar_t* text;       // the string data (RowValue::String)
    std::uint32_t number;      // the DWORD data (RowValue::Dword)
    RowRemoval removal;
    bool replacedWholeAtRegistration;  // the key's old tree is deleted before it is written
};

const std::vector<RegistryRow>& TesselRegistryRows();

// What replaces the placeholders.
struct RegistrySubstitutions {
    std::wstring applicationId;  // %APPID%
    std::wstring classId;        // %CLSID%
    std::wstring libraryId;      // %LIBID%
    std::wstring modulePath;     // %MODULE%: the library's full path
};
RegistrySubstitutions TesselSubstitutions(const std::wstring& modulePath);
std::wstring Substitute(const std::wstring& text, const RegistrySubstitutions& with);

// Where the steps write. Per machine, the classes rows go to the machine's
// Software\Classes; per user, to the current user's. The LocalMachine rows (the Browser
// Helper Object entry) stay in the machine's hive in both modes: the browser reads
// Browser Helper Objects only from there.
enum class RegistryRoot { LocalMachine, CurrentUser };
enum class RegistrationScope { PerMachine, PerUser };

struct RegistryStep {
    enum class Action { DeleteTree, CreateKey, SetString, SetDword };
    Action action;
    RegistryRoot root;
    std::wstring key;
    std::wstring valueName;  // empty: the default value
    std::wstring text;
    std::uint32_t number = 0;
};

// The steps that write one script's rows, in table order: a replaced key's tree is
// deleted just before its first row is written.
std::vector<RegistryStep> RegistrationSteps(RowScript script, RegistrationScope scope,
                                            const RegistrySubstitutions& with);
// The steps that remove one script's rows: one tree deletion per removed key.
std::vector<RegistryStep> UnregistrationSteps(RowScript script, RegistrationScope scope,
                                              const RegistrySubstitutions& with);
