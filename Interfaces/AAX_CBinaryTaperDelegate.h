// The taper of an on/off parameter: any normalized value above 0 is true.
#pragma once

#include "AAX_ITaperDelegate.h"

template <typename T> class AAX_CBinaryTaperDelegate : public AAX_ITaperDelegate<T>
{
public:
    AAX_CBinaryTaperDelegate* Clone() const override { return new AAX_CBinaryTaperDelegate(*this); }
    T GetMaximumValue() const override { return true; }
    T GetMinimumValue() const override { return false; }
    T ConstrainRealValue(T inValue) const override { return inValue; }
    T NormalizedToReal(double inNormalizedValue) const override { return inNormalizedValue > 0.0; }
    double RealToNormalized(T inRealValue) const override { return inRealValue ? 1.0 : 0.0; }
};
