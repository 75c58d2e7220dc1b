#pragma once
// Writing the capture's PNG file so that readers only ever see a whole file.
#include <windows.h>

#include <string>

#include "PngWriter.h"

// Writes the pixels as a PNG file with stored blocks: into a new file beside path, then
// moved over path in one step. On any failure the temporary file is deleted, path keeps
// its previous content (or stays absent) and the failure is returned.
HRESULT SavePngFile(const BgrxPixels& pixels, const std::wstring& path);

// The temporary file beside path that SavePngFile writes first: unique to the process
// and thread, so tabs capturing at once never share one.
std::wstring TemporaryPngPath(const std::wstring& path);
