// A straight-line taper between a minimum and a maximum real value. RealPrecision is the
// rounding precision of real values (a power of ten's reciprocal); 0 means no rounding.
#pragma once

#include <cmath>

#include "AAX_ITaperDelegate.h"

template <typename T, int32_t RealPrecision = 0>
class AAX_CLinearTaperDelegate : public AAX_ITaperDelegate<T>
{
public:
    AAX_CLinearTaperDelegate(T inMinimumValue = 0, T inMaximumValue = 1)
        : mMinValue(inMinimumValue), mMaxValue(inMaximumValue)
    {
    }

    AAX_CLinearTaperDelegate* Clone() const override { return new AAX_CLinearTaperDelegate(*this); }
    T GetMaximumValue() const override { return mMaxValue; }
    T GetMinimumValue() const override { return mMinValue; }

    T ConstrainRealValue(T inValue) const override
    {
        if (mMinValue == mMaxValue) return mMinValue;
        const T lower = mMinValue < mMaxValue ? mMinValue : mMaxValue;
        const T upper = mMinValue < mMaxValue ? mMaxValue : mMinValue;
        // A NaN compares false both ways; hand back the lower bound rather than store it.
        if (!(inValue >= lower)) return lower;
        if (inValue > upper) return upper;
        return Round(inValue);
    }

    T NormalizedToReal(double inNormalizedValue) const override
    {
        const double real =
            (double(mMaxValue) - double(mMinValue)) * inNormalizedValue + double(mMinValue);
        return ConstrainRealValue(static_cast<T>(real));
    }

    double RealToNormalized(T inRealValue) const override
    {
        if (mMinValue == mMaxValue) return 0.5;
        const T constrained = ConstrainRealValue(inRealValue);
        return (double(constrained) - double(mMinValue)) / (double(mMaxValue) - double(mMinValue));
    }

private:
    static T Round(T inValue)
    {
        if constexpr (RealPrecision > 0)
            return static_cast<T>(std::round(double(inValue) * RealPrecision) / RealPrecision);
        else
            return inValue;
    }

    T mMinValue;
    T mMaxValue;
};
