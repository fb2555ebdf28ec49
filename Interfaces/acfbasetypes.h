// Base types of the component model through which host and plug-in exchange objects:
// 16-byte identifiers, result codes and the integer types of the exported entry points.
#pragma once

#include <cstdint>

using acfResult = int32_t;
using acfUInt32 = uint32_t;
using acfSInt32 = int32_t;
using acfUInt64 = uint64_t;
using acfBool = int32_t;

// A 16-byte identifier of an interface or a component. Two identifiers are equal when all
// sixteen bytes are equal; the struct has no padding, so member-wise equality is byte equality.
struct _acfUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
using acfUID = _acfUID;
using acfIID = _acfUID;
using acfCLSID = _acfUID;
static_assert(sizeof(_acfUID) == 16);

constexpr bool operator==(const _acfUID& a, const _acfUID& b) noexcept
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}
constexpr bool operator!=(const _acfUID& a, const _acfUID& b) noexcept
{
    return !(a == b);
}

// Result codes of the component model (the framework's own codes are in AAX.h).
inline constexpr acfResult ACF_OK = 0;
inline constexpr acfResult ACF_E_UNEXPECTED = static_cast<acfResult>(0x8000FFFFu);
inline constexpr acfResult ACF_E_NOINTERFACE = static_cast<acfResult>(0x80000004u);
inline constexpr acfResult ACF_E_POINTER = static_cast<acfResult>(0x80004003u);

constexpr bool ACFSUCCEEDED(acfResult r) noexcept
{
    return r >= 0;
}
constexpr bool ACFFAILED(acfResult r) noexcept
{
    return r < 0;
}

#define ACFMETHODCALLTYPE
#define ACFAPI extern "C" __attribute__((visibility("default"))) acfResult
