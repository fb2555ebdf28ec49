#include "RovuRiza_Describe.h"

#include "AAX_CHostServices.h"
#include "AAX_ICollection.h"
#include "AAX_IComponentDescriptor.h"
#include "AAX_IEffectDescriptor.h"
#include "AAX_IPropertyMap.h"
#include "Engine/RovuRiza_AlgorithmProcess.h"
#include "GUI/RovuRiza_GUI_VST.h"
#include "RovuRiza_Parameters.h"

namespace
{
// Assertion reports name this file by its project path; the line numbers are part of the
// report format the host logs, not this file's physical lines.
constexpr const char* kSourcePath = "Source/RovuRiza_Describe";
constexpr const char* kErrIsSuccess = "err == AAX_SUCCESS";
constexpr const char* kResultIsSuccess = "result == AAX_SUCCESS";

void ReportFailure(int32_t inLine, const char* inCondition)
{
    AAX_CHostServices::HandleAssertFailure(kSourcePath, inLine, inCondition, AAX_eAssertFlags_Log);
}

void Expect(AAX_Result inResult, int32_t inLine)
{
    if (inResult != AAX_SUCCESS) ReportFailure(inLine, kErrIsSuccess);
}

constexpr uint32_t kCategory = 2;
constexpr uint32_t kPackageVersion = 1;
constexpr AAX_CPropertyValue kDSPAudioBufferLength = 2;

struct Configuration
{
    AAX_CProcessProc processProc;
    AAX_CTypeID nativeID;
    AAX_CTypeID audioSuiteID;
    AAX_CTypeID dspID;
    AAX_CPropertyValue instanceCycles; // property 63
    AAX_CPropertyValue sharedCycles;   // property 62
    int32_t processProcLine;
};

template <int kInputs, int kOutputs> AAX_CProcessProc RenderCallback()
{
    // The host calls every render callback with untyped context pointers.
    return reinterpret_cast<AAX_CProcessProc>(
        &RovuRiza_AlgorithmProcessFunction<kInputs, kOutputs>);
}

Configuration MonoConfiguration()
{
    return {RenderCallback<1, 1>(),
            AAX_FourCC("DARm"),
            AAX_FourCC("DAAm"),
            AAX_FourCC("DATm"),
            1453,
            250,
            120};
}

Configuration StereoConfiguration()
{
    return {RenderCallback<2, 2>(),
            AAX_FourCC("DARs"),
            AAX_FourCC("DAAs"),
            AAX_FourCC("DATs"),
            1507,
            322,
            146};
}
} // namespace

void DescribeAlgorithmComponent(AAX_EStemFormat inStemFormat,
                                AAX_IComponentDescriptor* outComponentDescriptor)
{
    const bool supported =
        inStemFormat == AAX_eStemFormat_Mono || inStemFormat == AAX_eStemFormat_Stereo;
    if (!supported)
        ReportFailure(43, "inStemFormat == AAX_eStemFormat_Mono || inStemFormat == "
                          "AAX_eStemFormat_Stereo");
    if (!outComponentDescriptor) return;
    AAX_IComponentDescriptor& component = *outComponentDescriptor;

    using namespace RovuRiza_Field;
    Expect(component.AddAudioIn(kAudioIn), 48);
    Expect(component.AddAudioOut(kAudioOut), 49);
    Expect(component.AddAudioBufferLength(kBufferLength), 50);
    Expect(component.AddSampleRate(kSampleRate), 54);
    Expect(component.AddDataInPort(kBypass, 4, AAX_eDataInPortType_Latest), 60);
    Expect(component.AddDataInPort(kGainTremolo, 8, AAX_eDataInPortType_Latest), 62);
    Expect(component.AddDataInPort(kTone, 4, AAX_eDataInPortType_Latest), 65);
    Expect(component.AddDataInPort(kRate, 4, AAX_eDataInPortType_Latest), 66);
    Expect(component.AddDataInPort(kVolume, 4, AAX_eDataInPortType_Latest), 67);
    Expect(component.AddDataInPort(kSoundValue, 4, AAX_eDataInPortType_Latest), 69);
    Expect(component.AddDataInPort(kPickup, 4, AAX_eDataInPortType_Latest), 71);
    Expect(component.AddDataInPort(kSound, kVoicingPayloadSize, AAX_eDataInPortType_Latest), 73);
    Expect(component.AddMIDINode(kMidiIn, AAX_eMIDINodeType_LocalInput, "Tavelo1MIDI", 0xFFFF), 76);
    Expect(component.AddPrivateData(kModelState, int32_t(kModelStateSize),
                                    AAX_ePrivateDataOptions_DefaultOptions),
           86);
    Expect(component.AddPrivateData(kSectionPoles, int32_t(kSectionPolesSize),
                                    AAX_ePrivateDataOptions_DefaultOptions),
           89);

    AAX_IPropertyMap* properties = component.NewPropertyMap();
    if (!properties)
    {
        ReportFailure(95, "properties");
        return;
    }
    properties->AddProperty(AAX_eProperty_ManufacturerID, AAX_CPropertyValue(AAX_FourCC("Quor")));
    properties->AddProperty(AAX_eProperty_ProductID, AAX_CPropertyValue(AAX_FourCC("DudE")));
    properties->AddProperty(AAX_eProperty_Option60, 1);
    properties->AddProperty(AAX_eProperty_Option56, 0);
    if (!supported) return;

    const Configuration config =
        inStemFormat == AAX_eStemFormat_Mono ? MonoConfiguration() : StereoConfiguration();
    properties->AddProperty(AAX_eProperty_InputStemFormat, inStemFormat);
    properties->AddProperty(AAX_eProperty_OutputStemFormat, inStemFormat);
    properties->AddProperty(AAX_eProperty_PlugInID_Native, AAX_CPropertyValue(config.nativeID));
    properties->AddProperty(AAX_eProperty_PlugInID_AudioSuite,
                            AAX_CPropertyValue(config.audioSuiteID));

    Expect(
        component.AddProcessProc_Native(config.processProc, properties, nullptr, nullptr, nullptr),
        config.processProcLine);

    // The DSP variant's figures land in the map after the native registration and are unused.
    properties->AddProperty(AAX_eProperty_DSP_InstanceCycles, config.instanceCycles);
    properties->AddProperty(AAX_eProperty_DSP_SharedCycles, config.sharedCycles);
    properties->AddProperty(AAX_eProperty_PlugInID_TI, AAX_CPropertyValue(config.dspID));
    properties->AddProperty(AAX_eProperty_DSP_AudioBufferLength, kDSPAudioBufferLength);
}

AAX_Result GetEffectDescriptions(AAX_ICollection* outCollection)
{
    if (!outCollection) return AAX_ERROR_NULL_OBJECT;

    AAX_Result result = AAX_SUCCESS;
    if (AAX_IEffectDescriptor* effect = outCollection->NewDescriptor(); !effect)
    {
        result = AAX_ERROR_NULL_OBJECT;
    }
    else if (AAX_IComponentDescriptor* component = effect->NewComponentDescriptor(); !component)
    {
        result = AAX_ERROR_NULL_OBJECT;
        ReportFailure(307, kResultIsSuccess);
    }
    else
    {
        for (const char* name : {"Tavelo1", "Tavelo1", "Tav1", "Tav1", "T1"})
            effect->AddName(name);
        effect->AddCategory(kCategory);

        // One descriptor object carries both configurations; clearing keeps them apart.
        component->Clear();
        DescribeAlgorithmComponent(AAX_eStemFormat_Mono, component);
        Expect(effect->AddComponent(component), 188);

        component->Clear();
        DescribeAlgorithmComponent(AAX_eStemFormat_Stereo, component);
        Expect(effect->AddComponent(component), 194);

        Expect(effect->AddProcPtr(reinterpret_cast<void*>(&RovuRiza_Parameters::Create),
                                  AAX_eProcPtrID_Create_EffectParameters),
               199);
        effect->AddResourceInfo(AAX_eResourceType_PageTable, "DudE.xml");
        effect->AddProcPtr(reinterpret_cast<void*>(&RovuRiza_GUI::Create),
                           AAX_eProcPtrID_Create_EffectGUI);

        result = outCollection->AddEffect(kEffectID_RovuRiza, effect);
        if (result != AAX_SUCCESS) ReportFailure(307, kResultIsSuccess);
    }

    outCollection->SetManufacturerName("Quorva");
    for (const char* name : {"Tavelo1 AAX Plug-In", "Tavelo1 Plug-In", "Tav1", "Tav1"})
        outCollection->AddPackageName(name);
    outCollection->SetPackageVersion(kPackageVersion);
    return result;
}
