#include "TemplateSecurity.h"

#include <algorithm>
#include <optional>

#include "PathText.h"

namespace {

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](wchar_t a, wchar_t b) { return FoldAscii(a) == FoldAscii(b); });
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    wchar_t f = FoldAscii(c);
    if (f >= L'a' && f <= L'f') return f - L'a' + 10;
    return -1;
}

// The escapes of a file URL's path decoded. Only printable ASCII other than a separator
// is taken: an escaped byte of a longer character, a control character or an escaped
// separator makes no path at all, rather than a guess at how the browser reads it.
std::optional<std::wstring> Unescape(const std::wstring& text) {
    std::wstring path;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            path += text[i];
            continue;
        }
        int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) return std::nullopt;
        wchar_t c = static_cast<wchar_t>(high * 16 + low);
        if (c < 0x20 || c > 0x7E || IsPathSeparator(c)) return std::nullopt;
        path += c;
        i += 2;
    }
    return path;
}

// The file that url names, as a path, without its query or fragment; nothing for a URL
// of another scheme or a file URL of another form.
std::optional<std::wstring> NamedPath(const std::wstring& url) {
    static const std::wstring kFileScheme = L"file:";
    std::wstring rest;
    bool isUrl = StartsWithNoCase(url, kFileScheme);
    if (isUrl) {
        rest = url.substr(kFileScheme.size());
        // "file://C:\..." and "file:///C:/...": the path starts at the drive.
        if (rest.size() >= 2 && IsPathSeparator(rest[0]) && IsPathSeparator(rest[1])) rest.erase(0, 2);
        if (!rest.empty() && IsPathSeparator(rest[0]) && IsDriveSpec(rest, 1)) rest.erase(0, 1);
    } else if (HasUrlScheme(url)) {
        return std::nullopt;
    } else {
        rest = url;
    }
    rest = rest.substr(0, rest.find_first_of(L"?#"));
    if (!isUrl) return rest;
    return Unescape(rest);
}

}  // namespace

bool NamesTemplatePage(const std::wstring& url, const std::wstring& templatePath) {
    if (templatePath.empty()) return false;
    std::optional<std::wstring> path = NamedPath(url);
    return path && SamePathText(*path, templatePath);
}

bool AllowsTemplateAction(const std::wstring& url, std::uint32_t action, const std::wstring& templatePath) {
    return std::find(std::begin(kTemplatePageActions), std::end(kTemplatePageActions), action) !=
               std::end(kTemplatePageActions) &&
           NamesTemplatePage(url, templatePath);
}
