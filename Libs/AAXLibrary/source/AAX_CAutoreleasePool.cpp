#include "AAX_CAutoreleasePool.h"

AAX_CAutoreleasePool::AAX_CAutoreleasePool() = default;
AAX_CAutoreleasePool::~AAX_CAutoreleasePool() = default;
