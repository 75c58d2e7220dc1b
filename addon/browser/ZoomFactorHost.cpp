// The host build's stand-in for the registry record of SaveZoomFactor: one value in
// memory, read back by tests through ZoomFactorHost.h.
#include "ZoomFactorHost.h"

#include <mutex>

#include "ZoomCommands.h"

namespace {
std::mutex lock;
std::optional<std::uint32_t> value;
int writes = 0;
}  // namespace

bool SaveZoomFactor(std::int32_t percent) {
    std::lock_guard<std::mutex> guard(lock);
    value = ZoomFactorData(percent);
    ++writes;
    return true;
}

std::optional<std::uint32_t> HostZoomFactor() {
    std::lock_guard<std::mutex> guard(lock);
    return value;
}

int HostZoomFactorWrites() {
    std::lock_guard<std::mutex> guard(lock);
    return writes;
}

void ResetHostZoomFactor() {
    std::lock_guard<std::mutex> guard(lock);
    value.reset();
    writes = 0;
}
