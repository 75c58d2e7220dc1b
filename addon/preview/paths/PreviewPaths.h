#pragma once
// Where the preview's files are: the capture file in the temporary folder, its URL for
// the preview page, and the preview page in the program folder.
#include <string>

// The longest path the capture's Win32 calls take (MAX_PATH, its terminating null included).
inline constexpr std::size_t kMaxPathWithNull = 260;

// The capture file: the temporary folder as the platform gives it (absolute, with its
// trailing separator) followed directly by "temp.png". Empty, meaning no capture, when
// the folder is empty, relative or without its trailing separator, or when the file's
// path would not fit in MAX_PATH: a relative "temp.png" would land wherever the browser's
// current folder happens to be.
std::wstring CaptureImagePath(const std::wstring& tempFolder);

// The URL of a local file as UrlCreateFromPathW makes it: "file:///" before a drive
// ("file:" before a UNC path's "//"), backslashes turned into slashes, and what would
// change the URL's meaning escaped as %XX: '%', '#', '&', spaces, control characters and the
// other characters a URL may not hold, and the code units 0x7F to 0xFF. Letters beyond
// those (Chinese, Cyrillic) stay as they are. A text that is a URL already (a scheme of
// two letters or more) is given back unchanged, an empty one as empty.
std::wstring FileUrlFromPath(const std::wstring& path);

// The capture file's URL for the preview page: FileUrlFromPath of its path. Empty for an
// empty path.
std::wstring CaptureImageUrl(const std::wstring& imagePath);

// The preview page: the Program Files folder followed by
// "\Kestrune\Pinchwell\Template.html", navigated to as a plain path.
std::string TemplatePagePath(const std::string& programFilesFolder);
