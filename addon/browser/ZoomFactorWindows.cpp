// SaveZoomFactor on Windows: the browser's per-user zoom factor in the registry.
#include <windows.h>

#include <pinchwell/UniqueHandle.h>

#include "ZoomCommands.h"

bool SaveZoomFactor(std::int32_t percent) {
    // Only the right the write needs: a key the user may set but not re-own still takes it.
    pinchwell::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kZoomKeyPath, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) {
        // Not there yet: created as a volatile key, so it lasts until the next log-off.
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kZoomKeyPath, 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE,
                              nullptr, key.put(), nullptr) != ERROR_SUCCESS)
            return false;  // no sound place to write to
    }
    DWORD data = ZoomFactorData(percent);
    return ::RegSetValueExW(key.get(), kZoomFactorValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof(data)) == ERROR_SUCCESS;
}
