#include "Tubes/RovuRiza_TubeTables.h"

#include <cstring>
#include <mutex>

#include "Tubes/RovuRiza_TubeCoefficients.h"

namespace
{
using TubeTables = float[kRovuRizaTubeTableCount][kRovuRizaTubeRows][kRovuRizaTubeColumns];

constexpr int kSampledColumns = kRovuRizaTubeColumns - 1; // the last column repeats its neighbour
constexpr float kColumnStep = 4.5352503e-05f;             // 2/44099, as float32
constexpr int kChunk = 512;

// Evaluates one row's polynomial over all columns. Horner's rule in double keeps the result
// within float32 rounding of the power-by-power sum while costing a fraction of its time; the
// inner loop runs over columns so that it vectorises (with wider vectors where the processor
// has them: the same operations without fused multiply-add, so the same results).
__attribute__((target_clones("avx2", "default"))) void fillRow(const float* coefficients,
                                                               float scale, float* out) noexcept
{
    double x[kChunk];
    double acc[kChunk];
    for (int start = 0; start < kSampledColumns; start += kChunk)
    {
        const int count = (kSampledColumns - start < kChunk) ? kSampledColumns - start : kChunk;
        for (int i = 0; i < count; ++i)
        {
            // The column position is formed in float32, exactly as the grid is defined.
            x[i] = double(float(start + i) * kColumnStep - 1.0f);
            acc[i] = double(coefficients[0]);
        }
        for (int k = 1; k < kRovuRizaPolyCoefs; ++k)
        {
            const double c = double(coefficients[k]);
            for (int i = 0; i < count; ++i)
                acc[i] = acc[i] * x[i] + c;
        }
        for (int i = 0; i < count; ++i)
            out[start + i] = float(acc[i]) * scale;
    }
    out[kSampledColumns] = out[kSampledColumns - 1];
}

// The tables depend only on constants: they are computed once per process and copied into
// every instance's record.
const TubeTables& sharedTables() noexcept
{
    static TubeTables tables;
    static std::once_flag once;
    std::call_once(once,
                   []
                   {
                       for (int t = 0; t < kRovuRizaTubeTableCount; ++t)
                       {
                           const RovuRiza_TubeTableSource& source = kRovuRizaTubeTableSources[t];
                           for (int r = 0; r < kRovuRizaTubeRows; ++r)
                               fillRow(source.coefficients + r * kRovuRizaPolyCoefs,
                                       source.scale[r], tables[t][r]);
                       }
                   });
    return tables;
}
} // namespace

void RovuRiza_FillTubeTables(
    float (&tables)[kRovuRizaTubeTableCount][kRovuRizaTubeRows][kRovuRizaTubeColumns]) noexcept
{
    std::memcpy(tables, sharedTables(), sizeof(TubeTables));
}
