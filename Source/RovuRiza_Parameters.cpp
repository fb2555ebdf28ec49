#include "RovuRiza_Parameters.h"

#include <cmath>
#include <new>

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"
#include "AAX_CPacketHandler.h"
#include "AAX_CParameter.h"
#include "AAX_IController.h"
#include "Engine/RovuRiza_Alg_Context.h"
#include "Engine/RovuRiza_Controls.h"
#include "Engine/RovuRiza_Engine.h"
#include "ModelState/RovuRiza_ModelState.h"
#include "Voicing/RovuRiza_Voicing.h"

namespace
{
// Used when the host cannot tell its rate; the set-up is then at least self-consistent.
constexpr double kFallbackSampleRate = 48000.0;
} // namespace

AAX_CEffectParameters* AAX_CALLBACK RovuRiza_Parameters::Create()
{
    return new RovuRiza_Parameters;
}

AAX_Result RovuRiza_Parameters::EffectInit()
{
    for (int i = 0; i < 9; ++i)
    {
        mFourthBandEll8Rev[i] = float(globalkFourthBandEll8Revmeno[i]);
        mFourthBandEll8Fw[i] = float(globalkFourthBandEll8Fw[i]);
    }

    const RovuRiza_ControlInfo& bypassInfo = RovuRiza_ControlInfoOf(RovuRiza_Control::kBypass);
    auto* bypass = new AAX_CParameter<bool>(
        cDefaultMasterBypassID, AAX_CString(bypassInfo.name), bypassInfo.defaultValue != 0.0f,
        AAX_CBinaryTaperDelegate<bool>(), AAX_CBinaryDisplayDelegate<bool>("bypass", "on"), true);
    bypass->SetNumberOfSteps(bypassInfo.steps);
    bypass->SetType(AAX_eParameterType_Discrete);
    mParameterManager.AddParameter(bypass);

    // Creation order is the index order the host sees.
    for (int c = int(RovuRiza_Control::kBypass) + 1; c < kRovuRizaControlCount; ++c)
    {
        const RovuRiza_ControlInfo& row = kRovuRizaControls[c];
        auto* parameter =
            new AAX_CParameter<float>(row.identifier, AAX_CString(row.name), row.defaultValue,
                                      AAX_CLinearTaperDelegate<float, 0>(0.0f, 1.0f),
                                      AAX_CNumberDisplayDelegate<float, 2u, 0u>(), true);
        parameter->SetNumberOfSteps(row.steps);
        mParameterManager.AddParameter(parameter);
    }

    using SingleValue = AAX_CPacketHandler<AAX_CPacketDispatcher>;
    using Builder = AAX_CPacketHandler<RovuRiza_Parameters>;
    const SingleValue singleValue(&mPacketDispatcher,
                                  &AAX_CPacketDispatcher::GenerateSingleValuePacket);
    mPacketDispatcher.RegisterPacket(cDefaultMasterBypassID, RovuRiza_Field::kBypass, singleValue);
    mPacketDispatcher.RegisterPacket("Gain", RovuRiza_Field::kGainTremolo,
                                     Builder(this, &RovuRiza_Parameters::UpdatePacket_Gain));
    mPacketDispatcher.RegisterPacket("Tremolo", RovuRiza_Field::kGainTremolo,
                                     Builder(this, &RovuRiza_Parameters::UpdatePacket_Gain));
    mPacketDispatcher.RegisterPacket("Tone", RovuRiza_Field::kTone, singleValue);
    mPacketDispatcher.RegisterPacket("Rate", RovuRiza_Field::kRate, singleValue);
    mPacketDispatcher.RegisterPacket("Volume", RovuRiza_Field::kVolume, singleValue);
    mPacketDispatcher.RegisterPacket("Sound", RovuRiza_Field::kSound,
                                     Builder(this, &RovuRiza_Parameters::UpdatePacket_Sound));
    mPacketDispatcher.RegisterPacket("Pickup", RovuRiza_Field::kPickup, singleValue);

    // The converter delays the signal; hosts that compensate need to know by how much.
    if (Controller())
        Controller()->SetSignalLatency(
            int32_t(std::lround(RovuRiza_Engine::ConverterDelay(HostSampleRate()))));
    return AAX_SUCCESS;
}

float RovuRiza_Parameters::CurrentFloat(AAX_CParamID inParameterID, bool* outFound) const
{
    float value = 0.0f;
    const AAX_IParameter* parameter = mParameterManager.GetParameterByID(inParameterID);
    *outFound = parameter && parameter->GetValueAsFloat(&value);
    return value;
}

double RovuRiza_Parameters::HostSampleRate() const
{
    AAX_CSampleRate rate = 0.0f;
    if (!Controller() || Controller()->GetSampleRate(&rate) != AAX_SUCCESS || !(rate > 0.0f))
        return kFallbackSampleRate;
    return double(rate);
}

AAX_Result RovuRiza_Parameters::UpdatePacket_Gain(AAX_CPacket& ioPacket)
{
    float* payload = static_cast<float*>(ioPacket.Data().Get(8));
    ioPacket.SetSize(8);
    bool found = false;
    const float gain = CurrentFloat("Gain", &found);
    if (found) payload[0] = gain;
    const float tremolo = CurrentFloat("Tremolo", &found);
    if (found) payload[1] = tremolo;
    return AAX_SUCCESS;
}

AAX_Result RovuRiza_Parameters::UpdatePacket_Sound(AAX_CPacket& ioPacket)
{
    bool found = false;
    const float sound = CurrentFloat("Sound", &found);
    if (!found) return AAX_SUCCESS;
    auto* payload = static_cast<RovuRiza_VoicingPayload*>(
        ioPacket.Data().Get(RovuRiza_Field::kVoicingPayloadSize));
    ioPacket.SetSize(RovuRiza_Field::kVoicingPayloadSize);
    RovuRiza_BuildVoicingPayload(sound, HostSampleRate(), *payload);
    if (Controller()) Controller()->PostPacket(RovuRiza_Field::kSoundValue, &sound, sizeof sound);
    return AAX_SUCCESS;
}

AAX_Result RovuRiza_Parameters::ResetFieldData(AAX_CFieldIndex inFieldIndex, void* outData,
                                               uint32_t inDataSize) const
{
    if (!outData) return AAX_SUCCESS;
    const float fs = float(HostSampleRate());
    if (inFieldIndex == RovuRiza_Field::kSectionPoles)
        RovuRiza_SetUpSectionPoles(outData, inDataSize, fs);
    else if (inFieldIndex == RovuRiza_Field::kModelState)
        RovuRiza_SetUpModelState(outData, inDataSize, fs, mFourthBandEll8Rev, mFourthBandEll8Fw);
    return AAX_SUCCESS;
}

AAX_Result RovuRiza_Parameters::GetCustomData(AAX_CTypeID, uint32_t, void*, uint32_t*) const
{
    return AAX_SUCCESS;
}
