#pragma once
// A thread as it can be recognised after it has ended: Windows soon gives an ended
// thread's id to a new thread, so an id kept beyond its thread is paired with the
// thread's creation time.
#include <windows.h>

#include <cstdint>

class ThreadIdentity {
public:
    // No thread: never the current one.
    ThreadIdentity() = default;
    // The calling thread (GetCurrentThreadId, GetThreadTimes).
    static ThreadIdentity Current();

    // The calling thread is this one. False for no thread, and where the creation time of
    // either could not be read: what cannot be told apart is taken for another thread.
    bool IsCurrent() const;

private:
    DWORD id_ = 0;
    std::uint64_t created_ = 0;  // 100-ns units; 0 when unknown
};
