// The amp's data model: eight parameters, their packets, the converter coefficients handed to
// the render context's private block. Created by the host through the effect description's
// data-model factory and driven on the host's non-real-time threads.
#pragma once

#include "AAX_CEffectParameters.h"
#include "Converter/RovuRiza_ConverterCoefficients.h"

class RovuRiza_Parameters : public AAX_CEffectParameters
{
public:
    RovuRiza_Parameters() = default;
    ~RovuRiza_Parameters() override = default;

    static AAX_CEffectParameters* AAX_CALLBACK Create();

    AAX_Result EffectInit() override;
    AAX_Result ResetFieldData(AAX_CFieldIndex inFieldIndex, void* outData,
                              uint32_t inDataSize) const override;
    AAX_Result GetCustomData(AAX_CTypeID inDataBlockID, uint32_t inDataSize, void* outData,
                             uint32_t* outDataWritten) const override;

    // Packet builders: port 1 (Gain and Tremolo) and port 7 (voicing, also posts port 5).
    AAX_Result UpdatePacket_Gain(AAX_CPacket& ioPacket);
    AAX_Result UpdatePacket_Sound(AAX_CPacket& ioPacket);

    // Recursive and forward sets of the internal-rate converter's filter (the generated design).
    static constexpr const double (&globalkFourthBandEll8Revmeno)[9] =
        RovuRiza_ConverterDesign::globalkFourthBandEll8Revmeno;
    static constexpr const double (&globalkFourthBandEll8Fw)[9] =
        RovuRiza_ConverterDesign::globalkFourthBandEll8Fw;

    const float* FourthBandEll8Rev() const { return mFourthBandEll8Rev; }
    const float* FourthBandEll8Fw() const { return mFourthBandEll8Fw; }

private:
    float CurrentFloat(AAX_CParamID inParameterID, bool* outFound) const;
    double HostSampleRate() const;

    float mFourthBandEll8Rev[9] = {};
    float mFourthBandEll8Fw[9] = {};
};
