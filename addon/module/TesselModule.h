#pragma once
// The module object of Tessel.dll: its lock count decides whether the library may be
// unloaded. Every TesselImpl object and every LockServer(TRUE) holds one lock, and so
// does every outside reference to the class factory.
#include <windows.h>

#include <atomic>

class CTesselModule {
public:
    constexpr CTesselModule() = default;
    CTesselModule(const CTesselModule&) = delete;
    CTesselModule& operator=(const CTesselModule&) = delete;

    // Objects on several tab threads lock and unlock the one module: the count is atomic.
    long Lock() noexcept { return ++lockCount_; }
    long Unlock() noexcept { return --lockCount_; }
    long LockCount() const noexcept { return lockCount_; }

private:
    std::atomic<long> lockCount_{0};
};

// The module object, the first static object of the library.
CTesselModule& TesselModule();
