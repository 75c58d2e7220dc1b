#pragma once
// Paths and the file URLs that UrlCreateFromPathW makes of them (measured with Wine's):
// the portable builder is checked against the URLs on every flavour and against the
// platform's function under Wine.
struct FileUrlCase {
    const wchar_t* path;
    const wchar_t* url;
};

inline constexpr FileUrlCase kFileUrlCases[] = {
    {L"C:\\Temp\\temp.png", L"file:///C:/Temp/temp.png"},
    {L"c:\\lower\\temp.png", L"file:///c:/lower/temp.png"},
    {L"C:\\Users\\C#dev\\AppData\\Local\\Temp\\temp.png", L"file:///C:/Users/C%23dev/AppData/Local/Temp/temp.png"},
    {L"C:\\a b\\100%\\temp.png", L"file:///C:/a%20b/100%25/temp.png"},
    {L"C:\\Temp\\%20\\temp.png", L"file:///C:/Temp/%2520/temp.png"},
    {L"C:\\Users\\\x5F20\x4E09\\temp.png", L"file:///C:/Users/\x5F20\x4E09/temp.png"},
    {L"C:\\Users\\\x0418\x0432\\temp.png", L"file:///C:/Users/\x0418\x0432/temp.png"},
    {L"C:\\Users\\Ren\xE9\\temp.png", L"file:///C:/Users/Ren%E9/temp.png"},
    {L"C:\\a\x100\x17F\\b", L"file:///C:/a\x100\x17F/b"},
    {L"C:\\x;y=z&w+v,u$t@s!r~q'p(o)n*m\\temp.png", L"file:///C:/x;y=z%26w+v,u$t@s!r~q'p(o)n*m/temp.png"},
    {L"C:\\a<b>c\"d{e}f|g^h`i[j]k\\temp.png", L"file:///C:/a%3Cb%3Ec%22d%7Be%7Df%7Cg%5Eh%60i%5Bj%5Dk/temp.png"},
    {L"C:\\tab\there\x7F\x80\xFF.png", L"file:///C:/tab%09here%7F%80%FF.png"},
    {L"C:/forward/temp.png", L"file:///C:/forward/temp.png"},
    {L"C:\\a\\\\b\\temp.png", L"file:///C:/a//b/temp.png"},
    {L"\\\\server\\share\\temp.png", L"file://server/share/temp.png"},
    {L"relative\\temp.png", L"file:relative/temp.png"},
    {L"http://example.com/temp.png", L"http://example.com/temp.png"},
};
