// Product benchmarks: the plug-in bundle through the stand-in host, as a host runs it.
// Extra flags: --product_smoke (a short checking pass). "--product-child=MODE" is this
// program's own child mode for figures that need a fresh process.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "ProductBenchSupport.h"

int main(int argc, char** argv)
{
    constexpr const char* kChildFlag = "--product-child=";
    if (argc >= 2 && std::strncmp(argv[1], kChildFlag, std::strlen(kChildFlag)) == 0)
        return product_bench::ChildMain(argv[1] + std::strlen(kChildFlag),
                                        std::vector<std::string>(argv + 2, argv + argc));

    product_bench::RunOptions options;
    std::vector<char*> kept;
    for (int i = 0; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--product_smoke") == 0)
            options.smoke = true;
        else
            kept.push_back(argv[i]);
    }
    int keptCount = int(kept.size());
    kept.push_back(nullptr);

    product_bench::RegisterRealtimeBenchmarks(options);
    product_bench::RegisterSetUpBenchmarks(options);
    product_bench::RegisterPacketBenchmarks(options);

    benchmark::Initialize(&keptCount, kept.data());
    if (benchmark::ReportUnrecognizedArguments(keptCount, kept.data())) return 2;
    benchmark::AddCustomContext("bundle", tavelo::host::PluginBundle::DefaultBundlePath());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return product_bench::AnyFailure() ? 1 : 0;
}
