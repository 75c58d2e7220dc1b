#pragma once
// The release of an object that only its own thread uses, and that may be asked to go
// while that same thread is still inside it: a modal loop or a call that pumps messages
// lets SetSite(NULL) arrive in the middle of a gesture. The object is then freed when
// the outermost use ends, never under the code that runs it.
//
// Not thread-safe by design: every call comes from the object's own thread.
class DeferredRelease {
public:
    void Enter() { ++uses_; }
    // True when the object is to be freed now: the outermost use ended after a release.
    bool Leave() { return --uses_ == 0 && released_; }
    // True when the object may be freed now; otherwise Leave says when.
    bool Release() {
        released_ = true;
        return uses_ == 0;
    }
    // Released and waiting for its uses to end: it takes no new work.
    bool Released() const { return released_; }

private:
    int uses_ = 0;
    bool released_ = false;
};
