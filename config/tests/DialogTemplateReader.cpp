#include "DialogTemplateReader.h"

#include <cstring>

namespace {

// Walks the template's words in order.
class WordReader {
public:
    WordReader(const BYTE* data, size_t size) : data_(data), size_(size) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return static_cast<short>(Word()); }
    std::wstring Text() {
        std::wstring text;
        for (WORD c = Word(); c != 0 && ok_; c = Word()) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    // A string or an ordinal (0xFFFF followed by the number).
    std::wstring TextOrOrdinal(WORD& ordinal) {
        ordinal = 0;
        if (Peek() == 0xFFFF) {
            Word();
            ordinal = Word();
            return {};
        }
        return Text();
    }
    void AlignDword() { offset_ = (offset_ + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t bytes) { offset_ += bytes; }
    bool ok() const { return ok_ && offset_ <= size_; }

private:
    WORD Peek() const {
        WORD value = 0;
        if (offset_ + sizeof value <= size_) std::memcpy(&value, data_ + offset_, sizeof value);
        return value;
    }
    template <typename T>
    T Take() {
        T value{};
        if (offset_ + sizeof value > size_) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + offset_, sizeof value);
        offset_ += sizeof value;
        return value;
    }
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

std::wstring PredefinedClass(WORD ordinal) {
    switch (ordinal) {
        case 0x80: return L"Button";
        case 0x81: return L"Edit";
        case 0x82: return L"Static";
        default: return L"#" + std::to_wstring(ordinal);
    }
}

}  // namespace

DialogTemplate ReadDialogTemplate(HMODULE module, int id) {
    DialogTemplate result;
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!data) return result;
    WordReader in(data, ::SizeofResource(module, info));
    if (in.Word() != 1 || in.Word() != 0xFFFF) return result;  // DIALOGEX only
    in.Dword();                                                  // help id
    result.exStyle = in.Dword();
    result.style = in.Dword();
    WORD count = in.Word();
    in.Short();
    in.Short();
    result.cx = in.Short();
    result.cy = in.Short();
    WORD ordinal = 0;
    in.TextOrOrdinal(ordinal);  // menu
    in.TextOrOrdinal(ordinal);  // window class
    result.caption = in.Text();
    if (result.style & DS_SETFONT) {
        result.pointSize = in.Word();
        in.Word();  // weight
        in.Skip(2);  // italic, character set
        result.typeface = in.Text();
    }
    for (WORD i = 0; i < count && in.ok(); ++i) {
        in.AlignDword();
        DialogItem item{};
        in.Dword();  // help id
        in.Dword();  // extended style
        item.style = in.Dword();
        item.x = in.Short();
        item.y = in.Short();
        item.cx = in.Short();
        item.cy = in.Short();
        item.id = static_cast<int>(in.Dword());
        std::wstring className = in.TextOrOrdinal(ordinal);
        item.className = className.empty() ? PredefinedClass(ordinal) : className;
        item.text = in.TextOrOrdinal(ordinal);
        in.Skip(in.Word());  // creation data
        result.items.push_back(item);
    }
    result.found = in.ok() && result.items.size() == count;
    return result;
}
