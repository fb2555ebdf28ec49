// Maps between a parameter's normalized value (0..1, double) and its real value of type T.
#pragma once

template <typename T> class AAX_ITaperDelegate
{
public:
    virtual ~AAX_ITaperDelegate() = default;
    virtual AAX_ITaperDelegate* Clone() const = 0;
    virtual T GetMaximumValue() const = 0;
    virtual T GetMinimumValue() const = 0;
    virtual T ConstrainRealValue(T inValue) const = 0;
    virtual T NormalizedToReal(double inNormalizedValue) const = 0;
    virtual double RealToNormalized(T inRealValue) const = 0;
};
