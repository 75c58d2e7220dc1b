#include "GestureReader.h"

#include <cstring>

namespace {

GestureReader& Current() {
    static GestureReader reader{::GetGestureInfo, ::CloseGestureInfoHandle};
    return reader;
}

}  // namespace

bool ReadGestureInfo(HGESTUREINFO handle, GESTUREINFO& info) {
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    return Current().read(handle, &info) != FALSE;
}

void CloseGestureInfo(HGESTUREINFO handle) { Current().close(handle); }

GestureReader SetGestureReader(GestureReader reader) {
    GestureReader previous = Current();
    Current().read = reader.read ? reader.read : ::GetGestureInfo;
    Current().close = reader.close ? reader.close : ::CloseGestureInfoHandle;
    return previous;
}
