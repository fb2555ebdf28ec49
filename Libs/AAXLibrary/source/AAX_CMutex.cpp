#include "AAX_CMutex.h"

#include <atomic>
#include <pthread.h>
#include <thread>

struct AAX_CMutex::Record
{
    // Read without the mutex held: only compared with the calling thread's own identity, so a
    // concurrent change by another thread cannot make the comparison succeed wrongly.
    std::atomic<std::thread::id> owner{};
    pthread_mutex_t mutex;
};

AAX_CMutex::AAX_CMutex()
{
    mRecord = new Record;
    if (pthread_mutex_init(&mRecord->mutex, nullptr) != 0)
    {
        delete mRecord;
        mRecord = nullptr;
    }
}

AAX_CMutex::~AAX_CMutex()
{
    if (mRecord)
    {
        pthread_mutex_destroy(&mRecord->mutex);
        delete mRecord;
    }
}

bool AAX_CMutex::Lock()
{
    if (!mRecord) return false;
    const std::thread::id self = std::this_thread::get_id();
    if (mRecord->owner.load(std::memory_order_acquire) == self) return false;
    pthread_mutex_lock(&mRecord->mutex);
    mRecord->owner.store(self, std::memory_order_release);
    return true;
}

void AAX_CMutex::Unlock()
{
    if (!mRecord) return;
    if (mRecord->owner.load(std::memory_order_acquire) != std::this_thread::get_id()) return;
    mRecord->owner.store(std::thread::id(), std::memory_order_release);
    pthread_mutex_unlock(&mRecord->mutex);
}
