#pragma once
// A fresh folder for one test, removed with everything in it afterwards.
#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The narrow path of a file in the folder.
    std::string File(const std::string& name) const;
    const std::filesystem::path& Path() const { return path_; }
    // Names of the files in the folder, sorted.
    std::string Listing() const;

private:
    std::filesystem::path path_;
};

// Whole-file helpers for the tests.
std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
