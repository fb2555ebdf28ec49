// A host-automatable parameter and a snapshot of its value. Parameters are driven from the
// host's non-real-time threads through the effect-parameters object; never from the audio thread.
#pragma once

#include <cstdint>

#include "AAX.h"
#include "AAX_CString.h"

class AAX_IAutomationDelegate;

// Limits of a parameter identifier: 31 characters and the terminator.
enum : uint32_t
{
    eParemeterDefaultMaxIdentifierSize = 32
};

class AAX_IParameterValue
{
public:
    virtual ~AAX_IParameterValue() = default;
    virtual AAX_IParameterValue* Clone() const = 0;
    virtual AAX_CParamID Identifier() const = 0;
    virtual bool GetValueAsBool(bool* outValue) const = 0;
    virtual bool GetValueAsInt32(int32_t* outValue) const = 0;
    virtual bool GetValueAsFloat(float* outValue) const = 0;
    virtual bool GetValueAsDouble(double* outValue) const = 0;
    virtual bool GetValueAsString(AAX_IString* outValue) const = 0;
};

class AAX_IParameter
{
public:
    virtual ~AAX_IParameter() = default;

    virtual AAX_IParameterValue* CloneValue() const = 0;
    virtual AAX_CParamID Identifier() const = 0;
    virtual void SetName(const AAX_CString& inName) = 0;
    virtual const AAX_CString& Name() const = 0;
    virtual void AddShortenedName(const AAX_CString& inName) = 0;
    virtual const AAX_CString& ShortenedName(int32_t inNumCharacters) const = 0;
    virtual void ClearShortenedNames() = 0;
    virtual bool Automatable() const = 0;
    virtual void SetAutomationDelegate(AAX_IAutomationDelegate* inAutomationDelegate) = 0;
    virtual void Touch() = 0;
    virtual void Release() = 0;

    virtual void SetNormalizedValue(double inNormalizedValue) = 0;
    virtual double GetNormalizedValue() const = 0;
    virtual void SetNormalizedDefaultValue(double inNormalizedDefault) = 0;
    virtual double GetNormalizedDefaultValue() const = 0;
    virtual void SetToDefaultValue() = 0;

    virtual void SetNumberOfSteps(uint32_t inNumSteps) = 0;
    virtual uint32_t GetNumberOfSteps() const = 0;
    virtual uint32_t GetStepValue() const = 0;
    virtual double GetNormalizedValueFromStep(uint32_t inStep) const = 0;
    virtual uint32_t GetStepValueFromNormalizedValue(double inNormalizedValue) const = 0;
    virtual void SetStepValue(uint32_t inStep) = 0;

    virtual bool GetValueString(AAX_CString* outValueString) const = 0;
    virtual bool GetValueString(int32_t inMaxLength, AAX_CString* outValueString) const = 0;
    virtual bool GetNormalizedValueFromBool(bool inValue, double* outNormalizedValue) const = 0;
    virtual bool GetNormalizedValueFromInt32(int32_t inValue, double* outNormalizedValue) const = 0;
    virtual bool GetNormalizedValueFromFloat(float inValue, double* outNormalizedValue) const = 0;
    virtual bool GetNormalizedValueFromDouble(double inValue, double* outNormalizedValue) const = 0;
    virtual bool GetNormalizedValueFromString(const AAX_CString& inValueString,
                                              double* outNormalizedValue) const = 0;
    virtual bool GetBoolFromNormalizedValue(double inNormalizedValue, bool* outValue) const = 0;
    virtual bool GetInt32FromNormalizedValue(double inNormalizedValue, int32_t* outValue) const = 0;
    virtual bool GetFloatFromNormalizedValue(double inNormalizedValue, float* outValue) const = 0;
    virtual bool GetDoubleFromNormalizedValue(double inNormalizedValue, double* outValue) const = 0;
    virtual bool GetStringFromNormalizedValue(double inNormalizedValue,
                                              AAX_CString& outValueString) const = 0;
    virtual bool GetStringFromNormalizedValue(double inNormalizedValue, int32_t inMaxLength,
                                              AAX_CString& outValueString) const = 0;
    virtual bool SetValueFromString(const AAX_CString& inValueString) = 0;

    virtual bool GetValueAsBool(bool* outValue) const = 0;
    virtual bool GetValueAsInt32(int32_t* outValue) const = 0;
    virtual bool GetValueAsFloat(float* outValue) const = 0;
    virtual bool GetValueAsDouble(double* outValue) const = 0;
    virtual bool GetValueAsString(AAX_IString* outValue) const = 0;
    virtual bool SetValueWithBool(bool inValue) = 0;
    virtual bool SetValueWithInt32(int32_t inValue) = 0;
    virtual bool SetValueWithFloat(float inValue) = 0;
    virtual bool SetValueWithDouble(double inValue) = 0;
    virtual bool SetValueWithString(const AAX_IString& inValue) = 0;

    virtual void SetType(AAX_EParameterType inType) = 0;
    virtual AAX_EParameterType GetType() const = 0;
    virtual void SetOrientation(int32_t inOrientation) = 0;
    virtual int32_t GetOrientation() const = 0;

    // Called by the framework when the host confirms a value.
    virtual void UpdateNormalizedValue(double inNormalizedValue) = 0;
};
