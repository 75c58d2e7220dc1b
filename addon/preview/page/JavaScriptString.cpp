#include "JavaScriptString.h"

namespace {
std::wstring UnicodeEscape(unsigned int code) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring escape = L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) escape += digits[(code >> shift) & 0xF];
    return escape;
}
}  // namespace

std::wstring JavaScriptStringText(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        unsigned int code = static_cast<unsigned int>(c);
        switch (c) {
        case L'\\': out += L"\\\\"; break;
        case L'\'': out += L"\\'"; break;
        case L'"': out += L"\\\""; break;
        case L'\n': out += L"\\n"; break;
        case L'\r': out += L"\\r"; break;
        case L'\t': out += L"\\t"; break;
        default:
            if (code < 0x20 || code == 0x7F || code == 0x2028 || code == 0x2029)
                out += UnicodeEscape(code);
            else
                out += c;
        }
    }
    return out;
}
