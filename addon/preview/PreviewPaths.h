#pragma once
// Where the preview's files are: the capture file in the temporary folder, its URL for
// the preview page, and the preview page in the program folder.
#include <string>

// The capture file: the temporary folder as the platform gives it (with its trailing
// separator) followed directly by "temp.png".
std::wstring CaptureImagePath(const std::wstring& tempFolder);

// "file:///" followed by the path, every backslash of the whole text turned into a
// forward slash.
std::wstring CaptureImageUrl(const std::wstring& imagePath);

// The preview page: the Program Files folder followed by
// "\Kestrune\Pinchwell\Template.html", navigated to as a plain path.
std::string TemplatePagePath(const std::string& programFilesFolder);
