// Feeds arbitrary bytes to the engine as a settings file. Invariants: nothing
// crashes, and once the engine has rewritten a file, reading and rewriting it
// again gives the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "IniFile.h"

namespace {

std::string Folder() {
    static std::string folder = [] {
        char pattern[] = "/tmp/pinchwell-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made) std::abort();
        return std::string(made);
    }();
    return folder;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = Folder() + "/config.ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    IniEntries first;
    if (!CIniFile::Load(path, first) || !CIniFile::Save(path, first)) std::abort();
    const std::string once = ReadAll(path);

    IniEntries second;
    if (!CIniFile::Load(path, second) || !CIniFile::Save(path, second)) std::abort();
    if (ReadAll(path) != once) {
        std::fprintf(stderr, "a rewritten file changed when rewritten again\n");
        std::abort();
    }
    // Changing a key keeps the file readable and finds the key again.
    if (!CIniFile::SetValue("Enable", "TRUE", "Pinchwell", path)) std::abort();
    if (!CIniFile::KeyExists("Enable", "Pinchwell", path)) std::abort();
    // Setting it again to the same value changes no byte: nothing the rewrite kept
    // (mark, comment lines at the end) moves or doubles.
    const std::string set = ReadAll(path);
    if (!CIniFile::SetValue("Enable", "TRUE", "Pinchwell", path) || ReadAll(path) != set) std::abort();
    return 0;
}
