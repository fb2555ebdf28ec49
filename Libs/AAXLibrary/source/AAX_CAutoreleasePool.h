// A scope that would drain the platform's autoreleased objects at its end. On Linux nothing is
// autoreleased, so it does nothing; it stays so the editor code reads the same on every platform.
// Editor thread.
#pragma once

class AAX_CAutoreleasePool
{
public:
    AAX_CAutoreleasePool();
    ~AAX_CAutoreleasePool();
    AAX_CAutoreleasePool(const AAX_CAutoreleasePool&) = delete;
    AAX_CAutoreleasePool& operator=(const AAX_CAutoreleasePool&) = delete;
};
