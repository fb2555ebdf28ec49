#include "CACFUnknown.h"

#include "AAX_UIDs.h"

std::atomic<int32_t> CACFUnknown::m_ActiveObjects{0};

acfResult CACFUnknown::PrivateUnknown::QueryInterface(const acfIID& inIID, void** outInterface)
{
    return mOwner->InternalQueryInterface(inIID, outInterface);
}

acfUInt32 CACFUnknown::PrivateUnknown::AddRef()
{
    return mOwner->InternalAddRef();
}

acfUInt32 CACFUnknown::PrivateUnknown::Release()
{
    return mOwner->InternalRelease();
}

CACFUnknown::CACFUnknown(IACFUnknown* inOuter)
    : m_pUnkOuter(inOuter ? inOuter : &m_UnkPrivate), m_UnkPrivate(this)
{
    m_ActiveObjects.fetch_add(1);
}

CACFUnknown::~CACFUnknown()
{
    m_ActiveObjects.fetch_sub(1);
}

acfResult CACFUnknown::InitializeInstance(IACFUnknown*)
{
    return ACF_OK;
}

void CACFUnknown::FinalRelease() {}

void CACFUnknown::ReclaimMemory()
{
    delete this;
}

acfResult CACFUnknown::InternalQueryInterface(const acfIID& inIID, void** outInterface)
{
    if (!outInterface) return ACF_E_POINTER;
    *outInterface = nullptr;
    if (inIID == IID_IACFUnknown)
    {
        *outInterface = static_cast<IACFUnknown*>(&m_UnkPrivate);
        InternalAddRef();
        return ACF_OK;
    }
    return ACF_E_NOINTERFACE;
}

acfUInt32 CACFUnknown::InternalAddRef()
{
    return m_cRef.fetch_add(1) + 1;
}

acfUInt32 CACFUnknown::InternalRelease()
{
    const acfUInt32 count = m_cRef.fetch_sub(1) - 1;
    if (count == 0)
    {
        FinalRelease();
        ReclaimMemory();
    }
    return count;
}

int32_t CACFUnknown::GetActiveObjectCount()
{
    return m_ActiveObjects.load();
}
