// A mutex that knows its owner thread: the owner may lock again without blocking, and only
// the owner's unlock releases it. Used by the packet dispatcher on host non-real-time threads.
#pragma once

class AAX_CMutex
{
public:
    AAX_CMutex();
    ~AAX_CMutex();
    AAX_CMutex(const AAX_CMutex&) = delete;
    AAX_CMutex& operator=(const AAX_CMutex&) = delete;

    // False when the mutex could not be created or the caller already owns it (a nested lock
    // neither blocks nor counts); otherwise blocks until acquired and returns true.
    bool Lock();
    // Releases only when the caller is the owner.
    void Unlock();

private:
    struct Record;
    Record* mRecord = nullptr;
};

// Scoped lock: unlocks at scope end only if its own Lock took the mutex.
class AAX_StLock_Guard
{
public:
    explicit AAX_StLock_Guard(AAX_CMutex& inMutex) : mMutex(&inMutex), mLocked(inMutex.Lock()) {}
    ~AAX_StLock_Guard()
    {
        if (mLocked) mMutex->Unlock();
    }
    AAX_StLock_Guard(const AAX_StLock_Guard&) = delete;
    AAX_StLock_Guard& operator=(const AAX_StLock_Guard&) = delete;
    bool Locked() const { return mLocked; }

private:
    AAX_CMutex* mMutex;
    bool mLocked;
};
