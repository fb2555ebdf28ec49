// Concrete parameters: AAX_CParameter<T> (T = bool or float), its value snapshot and its
// names. Called from the host's non-real-time threads through the effect-parameters object;
// no locks, so one parameter must not be changed from two threads at once.
#pragma once

#include <cstring>
#include <map>
#include <type_traits>

#include "AAX_CString.h"
#include "AAX_IAutomationDelegate.h"
#include "AAX_IDisplayDelegate.h"
#include "AAX_IParameter.h"
#include "AAX_ITaperDelegate.h"

// Reports a failed condition to the host's assertion service (defined by the framework
// library); execution goes on.
void AAX_ReportAssertFailure(const char* inFile, int32_t inLine, const char* inNote);

namespace AAX_ParameterDetail
{
// Copies an identifier into its fixed record, keeping at most 31 characters.
inline void CopyIdentifier(char (&outIdentifier)[eParemeterDefaultMaxIdentifierSize],
                           const char* inIdentifier)
{
    const char* source = inIdentifier ? inIdentifier : "";
    const size_t len = std::strlen(source);
    if (!(len < eParemeterDefaultMaxIdentifierSize))
        AAX_ReportAssertFailure("Interfaces/AAX_CParameter", 194,
                                "len < eParemeterDefaultMaxIdentifierSize");
    const size_t kept = len < eParemeterDefaultMaxIdentifierSize
                            ? len
                            : size_t(eParemeterDefaultMaxIdentifierSize - 1);
    std::memcpy(outIdentifier, source, kept);
    outIdentifier[kept] = '\0';
}

// The typed accessors: only the one of the parameter's own type succeeds.
template <typename T, typename U> inline bool Get(const T& inValue, U* outValue)
{
    if constexpr (std::is_same_v<T, U>)
    {
        *outValue = inValue;
        return true;
    }
    else
    {
        (void)inValue;
        (void)outValue;
        return false;
    }
}
} // namespace AAX_ParameterDetail

template <typename T> class AAX_CParameterValue : public AAX_IParameterValue
{
public:
    AAX_CParameterValue(AAX_CParamID inIdentifier, const T& inValue) : mValue(inValue)
    {
        AAX_ParameterDetail::CopyIdentifier(mIdentifier, inIdentifier);
    }
    AAX_CParameterValue(const AAX_CParameterValue& inOther)
        : AAX_IParameterValue(), mValue(inOther.mValue)
    {
        AAX_ParameterDetail::CopyIdentifier(mIdentifier, inOther.mIdentifier);
    }
    AAX_CParameterValue& operator=(const AAX_CParameterValue&) = default;

    AAX_IParameterValue* Clone() const override { return new AAX_CParameterValue(*this); }
    AAX_CParamID Identifier() const override { return mIdentifier; }
    bool GetValueAsBool(bool* outValue) const override
    {
        return AAX_ParameterDetail::Get(mValue, outValue);
    }
    bool GetValueAsInt32(int32_t* outValue) const override
    {
        return AAX_ParameterDetail::Get(mValue, outValue);
    }
    bool GetValueAsFloat(float* outValue) const override
    {
        return AAX_ParameterDetail::Get(mValue, outValue);
    }
    bool GetValueAsDouble(double* outValue) const override
    {
        return AAX_ParameterDetail::Get(mValue, outValue);
    }
    bool GetValueAsString(AAX_IString*) const override { return false; }

    const T& Get() const { return mValue; }
    void Set(const T& inValue) { mValue = inValue; }

private:
    char mIdentifier[eParemeterDefaultMaxIdentifierSize] = {};
    T mValue;
};

// A full name and shorter forms of it keyed by their length.
class AAX_CStringAbbreviations
{
public:
    explicit AAX_CStringAbbreviations(const AAX_CString& inPrimary) : mPrimary(inPrimary) {}

    void SetPrimary(const AAX_CString& inPrimary) { mPrimary = inPrimary; }
    const AAX_CString& Primary() const { return mPrimary; }
    void Add(const AAX_CString& inAbbreviation)
    {
        mAbbreviations[inAbbreviation.Length()] = inAbbreviation;
    }
    void Clear() { mAbbreviations.clear(); }

    const AAX_CString& Get(int32_t inNumCharacters) const
    {
        if (inNumCharacters < 0 || uint32_t(inNumCharacters) >= mPrimary.Length() ||
            mAbbreviations.empty())
            return mPrimary;
        // The longest form that fits, else the shortest form there is.
        auto above = mAbbreviations.upper_bound(uint32_t(inNumCharacters));
        if (above == mAbbreviations.begin()) return above->second;
        return std::prev(above)->second;
    }

private:
    AAX_CString mPrimary;
    std::map<uint32_t, AAX_CString> mAbbreviations;
};

template <typename T> class AAX_CParameter : public AAX_IParameter
{
public:
    AAX_CParameter(AAX_CParamID inIdentifier, const AAX_CString& inName, T inDefaultValue,
                   const AAX_ITaperDelegate<T>& inTaperDelegate,
                   const AAX_IDisplayDelegate<T>& inDisplayDelegate, bool inAutomatable)
        : mNames(inName), mAutomatable(inAutomatable), mTaperDelegate(inTaperDelegate.Clone()),
          mDisplayDelegate(inDisplayDelegate.Clone()), mValue(inIdentifier, T()),
          mDefaultValue(inDefaultValue)
    {
        if (mNumSteps == 0 && mType == AAX_eParameterType_Continuous) SetNumberOfSteps(128);
        SetToDefaultValue();
    }

    AAX_CParameter(const AAX_CParameter&) = delete;
    AAX_CParameter& operator=(const AAX_CParameter&) = delete;

    ~AAX_CParameter() override
    {
        if (mAutomationDelegate) mAutomationDelegate->UnregisterParameter(Identifier());
        delete mTaperDelegate;
        delete mDisplayDelegate;
    }

    AAX_IParameterValue* CloneValue() const override { return new AAX_CParameterValue<T>(mValue); }
    AAX_CParamID Identifier() const override { return mValue.Identifier(); }
    void SetName(const AAX_CString& inName) override { mNames.SetPrimary(inName); }
    const AAX_CString& Name() const override { return mNames.Primary(); }
    void AddShortenedName(const AAX_CString& inName) override { mNames.Add(inName); }
    const AAX_CString& ShortenedName(int32_t inNumCharacters) const override
    {
        return mNames.Get(inNumCharacters);
    }
    void ClearShortenedNames() override { mNames.Clear(); }
    bool Automatable() const override { return mAutomatable; }

    void SetAutomationDelegate(AAX_IAutomationDelegate* inAutomationDelegate) override
    {
        if (mAutomationDelegate) mAutomationDelegate->UnregisterParameter(Identifier());
        mAutomationDelegate = inAutomationDelegate;
        if (mAutomationDelegate) mAutomationDelegate->RegisterParameter(Identifier());
    }

    void Touch() override
    {
        if (mAutomationDelegate) mAutomationDelegate->PostTouchRequest(Identifier());
    }
    void Release() override
    {
        if (mAutomationDelegate) mAutomationDelegate->PostReleaseRequest(Identifier());
    }

    void SetNormalizedValue(double inNormalizedValue) override
    {
        // Through the taper and back: constrained, and snapped for a binary taper.
        const double normalized =
            mTaperDelegate->RealToNormalized(mTaperDelegate->NormalizedToReal(inNormalizedValue));
        SetNormalizedValuePath(normalized);
    }
    double GetNormalizedValue() const override
    {
        return mTaperDelegate->RealToNormalized(mValue.Get());
    }
    void SetNormalizedDefaultValue(double inNormalizedDefault) override
    {
        mDefaultValue = mTaperDelegate->ConstrainRealValue(
            mTaperDelegate->NormalizedToReal(inNormalizedDefault));
    }
    double GetNormalizedDefaultValue() const override
    {
        return mTaperDelegate->RealToNormalized(mDefaultValue);
    }
    void SetToDefaultValue() override
    {
        SetNormalizedValuePath(mTaperDelegate->RealToNormalized(mDefaultValue));
    }

    void SetNumberOfSteps(uint32_t inNumSteps) override
    {
        if (!(0 < inNumSteps))
        {
            AAX_ReportAssertFailure("Interfaces/AAX_CParameter", 834, "0 < numSteps");
            return;
        }
        mNumSteps = inNumSteps;
    }
    uint32_t GetNumberOfSteps() const override { return mNumSteps; }
    uint32_t GetStepValue() const override
    {
        return GetStepValueFromNormalizedValue(GetNormalizedValue());
    }
    double GetNormalizedValueFromStep(uint32_t inStep) const override
    {
        if (mNumSteps < 2) return 0.0;
        const double n = double(inStep) / double(mNumSteps - 1);
        return n < 0.0 ? 0.0 : (n > 1.0 ? 1.0 : n);
    }
    uint32_t GetStepValueFromNormalizedValue(double inNormalizedValue) const override
    {
        if (mNumSteps < 2) return 0;
        const double last = double(mNumSteps - 1);
        double x = inNormalizedValue * last + 0.5;
        if (!(x >= 0.0)) // also a NaN
            x = 0.0;
        if (x > last) x = last;
        return uint32_t(x);
    }
    void SetStepValue(uint32_t inStep) override
    {
        if (mNumSteps < 2) return;
        SetNormalizedValue(GetNormalizedValueFromStep(inStep));
    }

    bool GetValueString(AAX_CString* outValueString) const override
    {
        return mDisplayDelegate->ValueToString(mValue.Get(), outValueString);
    }
    bool GetValueString(int32_t inMaxLength, AAX_CString* outValueString) const override
    {
        return mDisplayDelegate->ValueToString(mValue.Get(), inMaxLength, outValueString);
    }

    bool GetNormalizedValueFromBool(bool inValue, double* outNormalizedValue) const override
    {
        return NormalizedFrom(inValue, outNormalizedValue);
    }
    bool GetNormalizedValueFromInt32(int32_t inValue, double* outNormalizedValue) const override
    {
        return NormalizedFrom(inValue, outNormalizedValue);
    }
    bool GetNormalizedValueFromFloat(float inValue, double* outNormalizedValue) const override
    {
        return NormalizedFrom(inValue, outNormalizedValue);
    }
    bool GetNormalizedValueFromDouble(double inValue, double* outNormalizedValue) const override
    {
        return NormalizedFrom(inValue, outNormalizedValue);
    }
    bool GetNormalizedValueFromString(const AAX_CString& inValueString,
                                      double* outNormalizedValue) const override
    {
        T value = T();
        if (!mDisplayDelegate->StringToValue(inValueString, &value)) return false;
        *outNormalizedValue = mTaperDelegate->RealToNormalized(value);
        return true;
    }

    bool GetBoolFromNormalizedValue(double inNormalizedValue, bool* outValue) const override
    {
        return RealFrom(inNormalizedValue, outValue);
    }
    bool GetInt32FromNormalizedValue(double inNormalizedValue, int32_t* outValue) const override
    {
        return RealFrom(inNormalizedValue, outValue);
    }
    bool GetFloatFromNormalizedValue(double inNormalizedValue, float* outValue) const override
    {
        return RealFrom(inNormalizedValue, outValue);
    }
    bool GetDoubleFromNormalizedValue(double inNormalizedValue, double* outValue) const override
    {
        return RealFrom(inNormalizedValue, outValue);
    }

    bool GetStringFromNormalizedValue(double inNormalizedValue,
                                      AAX_CString& outValueString) const override
    {
        const T real = mTaperDelegate->NormalizedToReal(inNormalizedValue);
        if (!mDisplayDelegate->ValueToString(real, &outValueString)) return false;
        return InTaperRange(real);
    }
    bool GetStringFromNormalizedValue(double inNormalizedValue, int32_t inMaxLength,
                                      AAX_CString& outValueString) const override
    {
        const T real = mTaperDelegate->NormalizedToReal(inNormalizedValue);
        if (!mDisplayDelegate->ValueToString(real, inMaxLength, &outValueString)) return false;
        return InTaperRange(real);
    }

    bool SetValueFromString(const AAX_CString& inValueString) override
    {
        T value = T();
        if (!mDisplayDelegate->StringToValue(inValueString, &value)) return false;
        SetNormalizedValuePath(mTaperDelegate->RealToNormalized(value));
        return true;
    }

    bool GetValueAsBool(bool* outValue) const override { return mValue.GetValueAsBool(outValue); }
    bool GetValueAsInt32(int32_t* outValue) const override
    {
        return mValue.GetValueAsInt32(outValue);
    }
    bool GetValueAsFloat(float* outValue) const override
    {
        return mValue.GetValueAsFloat(outValue);
    }
    bool GetValueAsDouble(double* outValue) const override
    {
        return mValue.GetValueAsDouble(outValue);
    }
    bool GetValueAsString(AAX_IString* outValue) const override
    {
        if (!outValue) return false;
        AAX_CString text;
        if (!GetValueString(&text)) return false;
        *outValue = text;
        return true;
    }

    bool SetValueWithBool(bool inValue) override { return SetWith(inValue); }
    bool SetValueWithInt32(int32_t inValue) override { return SetWith(inValue); }
    bool SetValueWithFloat(float inValue) override { return SetWith(inValue); }
    bool SetValueWithDouble(double inValue) override { return SetWith(inValue); }
    bool SetValueWithString(const AAX_IString& inValue) override
    {
        return SetValueFromString(AAX_CString(inValue));
    }

    void SetType(AAX_EParameterType inType) override { mType = inType; }
    AAX_EParameterType GetType() const override { return mType; }
    void SetOrientation(int32_t inOrientation) override { mOrientation = inOrientation; }
    int32_t GetOrientation() const override { return mOrientation; }

    void SetTaperDelegate(const AAX_ITaperDelegate<T>& inTaperDelegate, bool inPreserveValue)
    {
        const double previousNormalized = GetNormalizedValue();
        AAX_ITaperDelegate<T>* old = mTaperDelegate;
        mTaperDelegate = inTaperDelegate.Clone();
        delete old;
        mNeedNotify = true;
        if (inPreserveValue)
            SetNormalizedValuePath(mTaperDelegate->RealToNormalized(mValue.Get()));
        else
            UpdateNormalizedValue(previousNormalized);
    }

    void SetDisplayDelegate(const AAX_IDisplayDelegate<T>& inDisplayDelegate)
    {
        AAX_IDisplayDelegate<T>* old = mDisplayDelegate;
        mDisplayDelegate = inDisplayDelegate.Clone();
        delete old;
        // The text changed even though the value did not: let the host redraw.
        if (mAutomationDelegate)
            mAutomationDelegate->PostCurrentValue(Identifier(), GetNormalizedValue());
    }

    void UpdateNormalizedValue(double inNormalizedValue) override
    {
        const T real = mTaperDelegate->NormalizedToReal(inNormalizedValue);
        if (!mNeedNotify && real == mValue.Get()) return;
        mValue.Set(real);
        if (mAutomationDelegate)
            mAutomationDelegate->PostCurrentValue(Identifier(), inNormalizedValue);
        mNeedNotify = false;
    }

    const AAX_ITaperDelegate<T>* TaperDelegate() const { return mTaperDelegate; }
    const AAX_IDisplayDelegate<T>* DisplayDelegate() const { return mDisplayDelegate; }

private:
    // With a host present the value changes only when the host confirms it.
    void SetNormalizedValuePath(double inNormalizedValue)
    {
        if (mAutomationDelegate)
        {
            Touch();
            mAutomationDelegate->PostSetValueRequest(Identifier(), inNormalizedValue);
            Release();
        }
        else
        {
            mNeedNotify = true;
            UpdateNormalizedValue(inNormalizedValue);
        }
    }

    template <typename U> bool SetWith(U inValue)
    {
        if constexpr (std::is_same_v<T, U>)
        {
            SetNormalizedValuePath(mTaperDelegate->RealToNormalized(inValue));
            return true;
        }
        else
        {
            (void)inValue;
            return false;
        }
    }

    template <typename U> bool NormalizedFrom(U inValue, double* outNormalizedValue) const
    {
        if constexpr (std::is_same_v<T, U>)
        {
            *outNormalizedValue = mTaperDelegate->RealToNormalized(inValue);
            return true;
        }
        else
        {
            (void)inValue;
            (void)outNormalizedValue;
            return false;
        }
    }

    template <typename U> bool RealFrom(double inNormalizedValue, U* outValue) const
    {
        if constexpr (std::is_same_v<T, U>)
        {
            *outValue = mTaperDelegate->NormalizedToReal(inNormalizedValue);
            return true;
        }
        else
        {
            (void)inNormalizedValue;
            (void)outValue;
            return false;
        }
    }

    bool InTaperRange(T inReal) const
    {
        return mTaperDelegate->GetMinimumValue() <= inReal &&
               inReal <= mTaperDelegate->GetMaximumValue();
    }

    AAX_CStringAbbreviations mNames;
    bool mAutomatable;
    uint32_t mNumSteps = 0;
    AAX_EParameterType mType = AAX_eParameterType_Continuous;
    int32_t mOrientation = AAX_eParameterOrientation_Default;
    AAX_ITaperDelegate<T>* mTaperDelegate;
    AAX_IDisplayDelegate<T>* mDisplayDelegate;
    AAX_IAutomationDelegate* mAutomationDelegate = nullptr;
    bool mNeedNotify = true;
    AAX_CParameterValue<T> mValue;
    T mDefaultValue;
};
