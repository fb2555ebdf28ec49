#include "HostCollection.h"

#include "AAX_UIDs.h"
#include "HostEffectDescriptor.h"
#include "HostPropertyMap.h"

namespace tavelo::host
{

void* HostCollection::FindInterface(const acfIID& inIID)
{
    if (inIID == IID_IACFUnknown || inIID == IID_IAAXCollectionV1)
        return static_cast<AAX_IACFCollection*>(this);
    // The collection is also what registration hands back as the plug-in definition.
    if (inIID == IID_IACFPluginDefinition && !mFaults.noPluginDefinition)
        return static_cast<IACFPluginDefinition*>(this);
    return nullptr;
}

IACFUnknown* HostCollection::NewDescriptor()
{
    if (mFaults.noEffectDescriptor) return nullptr;
    return HostEffectDescriptor::Create(mFaults);
}

AAX_Result HostCollection::AddEffect(const char* inEffectID, IACFUnknown* inEffectDescriptor)
{
    if (mFaults.addEffectResult != AAX_SUCCESS) return mFaults.addEffectResult;
    if (!inEffectID || !*inEffectID) return AAX_ERROR_INVALID_ARGUMENT;
    HostEffectDescriptor* effect = HostEffectDescriptor::FromUnknown(inEffectDescriptor);
    if (!effect) return AAX_ERROR_NULL_OBJECT;
    for (const EffectRecord& existing : mRecord.effects)
        if (existing.effectID == inEffectID) return AAX_ERROR_DUPLICATE_EFFECT_ID;
    EffectRecord record = effect->Record();
    record.effectID = inEffectID;
    mRecord.effects.push_back(std::move(record));
    return AAX_SUCCESS;
}

AAX_Result HostCollection::SetManufacturerName(const char* inPackageName)
{
    if (!inPackageName) return AAX_ERROR_NULL_ARGUMENT;
    mRecord.manufacturerName = inPackageName;
    mRecord.manufacturerNameSet = true;
    return AAX_SUCCESS;
}

AAX_Result HostCollection::AddPackageName(const char* inPackageName)
{
    if (!inPackageName) return AAX_ERROR_NULL_ARGUMENT;
    mRecord.packageNames.emplace_back(inPackageName);
    return AAX_SUCCESS;
}

AAX_Result HostCollection::SetPackageVersion(uint32_t inVersion)
{
    mRecord.packageVersion = inVersion;
    return AAX_SUCCESS;
}

IACFUnknown* HostCollection::NewPropertyMap()
{
    return HostPropertyMap::Create();
}

AAX_Result HostCollection::SetProperties(IACFUnknown* inProperties)
{
    HostPropertyMap* map = HostPropertyMap::FromUnknown(inProperties);
    if (!map) return AAX_ERROR_NULL_OBJECT;
    mRecord.properties = map->Properties();
    return AAX_SUCCESS;
}

} // namespace tavelo::host
