#pragma once
// The capture's PNG file, "temp.png" in the user's temporary folder: its path, writing it
// and deleting it.
#include <windows.h>

#include <optional>
#include <string>

#include "CaptureFileCheck.h"
#include "PngWriter.h"

// The capture file's path: the temporary folder (GetTempPathW) followed by "temp.png".
// Empty, meaning no capture, when the platform gives no folder, one longer than MAX_PATH
// or one with which the file's path would not fit (see CaptureImagePath).
std::wstring CaptureFilePath();

// Writes the pixels as a PNG file with stored blocks at path. An existing file is written
// over in place and then cut to the new length: its disk space is reused instead of freed
// and allocated anew, which a pinch start notices (about 0.4 ms under Wine against 1.5 ms
// for truncating first and 3 ms for a temporary file moved into place, at 3.7 MB). Every
// write is checked; after a failure the file is cut to nothing, so no mixture of two
// pictures or picture cut short is left that a reader might take for whole. When the
// file cannot be opened it stays as it was.
//
// The file is written only when it is the add-on's own (IsOwnCaptureFile): an existing
// name is opened without following a link (a symbolic link or junction opens as itself
// and is refused), a missing one is created new, never through a link; a file with
// other names (hard links), or that turns out to lie elsewhere than at path, is refused
// untouched with HRESULT_FROM_WIN32(ERROR_CANT_ACCESS_FILE). Readers share the open file
// (the preview control reads it; an indexer or a virus scanner may hold it a moment),
// and may delete it. Returns the first failure.
//
// Each write puts an id of its own into the file (CaptureFileStamp); stamped, where
// given, receives it, or the mark of an emptied file after a failure: what
// DeleteCaptureFile later checks. It is left as it was when the file could not be opened,
// or when a failed write could not even empty it.
HRESULT SavePngFile(const BgrxPixels& pixels, const std::wstring& path,
                    std::optional<CaptureFileStamp>* stamped = nullptr);

// Deletes the capture file at path when it is the add-on's own (as above: never a link,
// never the target of one, never a file with other names), so that a screenshot does not
// stay on disk after the preview goes. S_OK once deleted, S_FALSE when there is no file
// (or no path), HRESULT_FROM_WIN32(ERROR_CANT_ACCESS_FILE) for a file that is not ours
// (left as it is), or the platform's failure (a reader that holds it without sharing
// its deletion, or a writer that holds it at all, for example).
//
// With written, only that write of the file goes: a file that another tab (another
// thread or browser process) has written since keeps its picture, and S_FALSE is
// returned. The write's id is read through the handle that deletes, which holds the file
// against writers from the check to the deletion.
HRESULT DeleteCaptureFile(const std::wstring& path, const CaptureFileStamp* written = nullptr);
