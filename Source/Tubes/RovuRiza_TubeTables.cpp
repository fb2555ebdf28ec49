#include "Tubes/RovuRiza_TubeTables.h"

#include <cstdint>
#include <cstring>
#include <mutex>

#include <sys/mman.h>

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
#if defined(__SANITIZE_THREAD__)
// The clones' resolver runs during relocation, before the thread sanitizer's runtime is up, and
// crashes it; the plain build gives the same values.
#define ROVURIZA_FILL_CLONES
#else
#define ROVURIZA_FILL_CLONES __attribute__((target_clones("avx2", "default")))
#endif
ROVURIZA_FILL_CLONES void fillRow(const float* coefficients, float scale, float* out) noexcept
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

void fillTables(TubeTables& tables) noexcept
{
    for (int t = 0; t < kRovuRizaTubeTableCount; ++t)
    {
        const RovuRiza_TubeTableSource& source = kRovuRizaTubeTableSources[t];
        for (int r = 0; r < kRovuRizaTubeRows; ++r)
            fillRow(source.coefficients + r * kRovuRizaPolyCoefs, source.scale[r], tables[t][r]);
    }
}

// The same values in the render's layout (see RovuRiza_TubeTableStart).
void fillRenderLayout(float* out) noexcept
{
    static float row[kRovuRizaTubeColumns]; // set-up path, under the once flag
    for (int t = 0; t < kRovuRizaTubeTableCount; ++t)
    {
        const RovuRiza_TubeTableSource& source = kRovuRizaTubeTableSources[t];
        float* table = out + RovuRiza_TubeTableStart(t);
        const size_t stride = size_t(RovuRiza_TubeTableStride(t));
        for (int r = 0; r < kRovuRizaTubeRows; ++r)
        {
            fillRow(source.coefficients + r * kRovuRizaPolyCoefs, source.scale[r], row);
            float* first = table + size_t(r) * kRovuRizaTubeColumns * stride;
            for (int c = 0; c < kRovuRizaTubeColumns; ++c)
                first[size_t(c) * stride] = row[c];
        }
    }
}

constexpr size_t kHugePage = size_t(2) << 20;
// The tables and the room a read may take past their end.
constexpr size_t kTableBytes =
    sizeof(TubeTables) + size_t(kRovuRizaTubeTablesReadPastEnd) * sizeof(float);
constexpr size_t kMappedBytes = (kTableBytes + kHugePage - 1) / kHugePage * kHugePage;

// Pages for the shared copy. A loud instance reads about half a MiB of distinct table lines per
// block, spread over 17 MiB: on 4 KiB pages that is several hundred translations per block,
// which huge pages spare. The reserved huge-page pool is asked first; then a 2 MiB-aligned range
// of ordinary pages that the kernel may back with transparent huge pages. Null when the system
// grants no mapping at all.
void* mapTablePages() noexcept
{
    void* p = mmap(nullptr, kMappedBytes, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_HUGETLB, -1, 0);
    if (p != MAP_FAILED) return p;
    p = mmap(nullptr, kMappedBytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
             -1, 0);
    if (p == MAP_FAILED) return nullptr;
    const uintptr_t begin = reinterpret_cast<uintptr_t>(p);
    const uintptr_t aligned = (begin + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
    if (aligned > begin) munmap(p, aligned - begin);
    const uintptr_t end = begin + kMappedBytes + kHugePage;
    if (end > aligned + kMappedBytes)
        munmap(reinterpret_cast<void*>(aligned + kMappedBytes), end - (aligned + kMappedBytes));
    madvise(reinterpret_cast<void*>(aligned), kMappedBytes, MADV_HUGEPAGE); // a hint only
    return reinterpret_cast<void*>(aligned);
}

// The tables depend only on constants: they are computed once per process, in the render's
// layout, on huge pages where the system grants them, and then made read-only, so that no stray
// write from any instance can change what the others read. Without any mapping they live in a
// plain static array.
const TubeTables& sharedTables() noexcept
{
    static TubeTables* tables = nullptr;
    static std::once_flag once;
    std::call_once(once,
                   []
                   {
                       void* pages = mapTablePages();
                       if (pages == nullptr)
                       {
                           static struct
                           {
                               TubeTables tables;
                               float pastEnd[kRovuRizaTubeTablesReadPastEnd];
                           } fallback;
                           fillRenderLayout(&fallback.tables[0][0][0]);
                           tables = &fallback.tables;
                           return;
                       }
                       tables = static_cast<TubeTables*>(pages);
                       fillRenderLayout(&(*tables)[0][0][0]);
                       mprotect(pages, kMappedBytes, PROT_READ);
                   });
    return *tables;
}
} // namespace

const float* RovuRiza_SharedTubeTables() noexcept
{
    return &sharedTables()[0][0][0];
}

void RovuRiza_FillTubeTables(
    float (&tables)[kRovuRizaTubeTableCount][kRovuRizaTubeRows][kRovuRizaTubeColumns]) noexcept
{
    fillTables(tables);
}
