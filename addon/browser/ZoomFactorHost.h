#pragma once
// Host build only: the record that SaveZoomFactor keeps in memory in place of the registry.
#include <cstdint>
#include <optional>

// The data of the last write (ZoomFactorData of its percent), none before the first.
std::optional<std::uint32_t> HostZoomFactor();
// How many writes there were since the last reset.
int HostZoomFactorWrites();
void ResetHostZoomFactor();
