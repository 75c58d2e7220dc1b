#include "FileExtension.h"

namespace {
wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
}  // namespace

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::wstring PathExtension(const std::wstring& path) {
    std::size_t dot = std::wstring::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == L' ' || path[i] == L'\\') dot = std::wstring::npos;
        else if (path[i] == L'.') dot = i;
    }
    return dot == std::wstring::npos ? std::wstring() : path.substr(dot);
}

std::optional<std::size_t> FindEncoderForPath(const std::vector<std::wstring>& encoderExtensions,
                                              const std::wstring& path) {
    std::wstring extension = PathExtension(path);
    for (std::size_t i = 0; i < encoderExtensions.size(); ++i) {
        const std::wstring& patterns = encoderExtensions[i];
        std::size_t start = 0;
        while (start <= patterns.size()) {
            std::size_t end = patterns.find(L';', start);
            if (end == std::wstring::npos) end = patterns.size();
            std::wstring pattern = patterns.substr(start, end - start);
            if (!pattern.empty() && EqualsIgnoringCase(PathExtension(pattern), extension)) return i;
            start = end + 1;
        }
    }
    return std::nullopt;
}
