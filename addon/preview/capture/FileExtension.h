#pragma once
// Which image file a path asks for: its extension as the shell finds it, and the GDI+
// encoder that ATL's CImage::Save would pick for it.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The extension of a path as the shell finds it (PathFindExtensionW): from the last '.'
// of the last path component, empty when there is none. A backslash or a space after a
// dot ends that candidate.
std::wstring PathExtension(const std::wstring& path);

// The encoder that ATL's CImage::Save picks for a path when no file type is given: the
// first encoder among whose ';'-separated file-extension patterns (such as
// "*.BMP;*.DIB;*.RLE") one has the path's extension, compared without regard to case.
std::optional<std::size_t> FindEncoderForPath(const std::vector<std::wstring>& encoderExtensions,
                                              const std::wstring& path);

// Case-insensitive comparison of ASCII letters; other characters compare as they are.
// Extensions and window class names are compared so.
bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b);
