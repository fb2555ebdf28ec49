#include "InfoOptions.h"

#include "ArgumentReader.h"

namespace tavelo::cli
{

InfoOptions parseInfo(const Arguments& args, bool allowSettings)
{
    InfoOptions o;
    ArgumentReader reader(args);
    while (!reader.done())
    {
        const std::string a = reader.next();
        if ((allowSettings || a == "--bundle") && readSessionOption(reader, a, o.session)) continue;
        if (a == "--json")
            o.json = true;
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError("unknown option " + a);
        else
            o.positionals.push_back(a);
    }
    return o;
}

std::string fourCC(uint32_t v)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char c = char((v >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

} // namespace tavelo::cli
