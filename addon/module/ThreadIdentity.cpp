#include "ThreadIdentity.h"

namespace {

std::uint64_t CurrentThreadCreationTime() {
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

ThreadIdentity ThreadIdentity::Current() {
    ThreadIdentity identity;
    identity.id_ = ::GetCurrentThreadId();
    identity.created_ = CurrentThreadCreationTime();
    return identity;
}

bool ThreadIdentity::IsCurrent() const {
    if (id_ == 0 || created_ == 0 || id_ != ::GetCurrentThreadId()) return false;
    return CurrentThreadCreationTime() == created_;
}
