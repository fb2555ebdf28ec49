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
        if (a == "--json")
            o.json = true;
        else if (a == "--bundle")
            o.session.bundle = reader.value(a);
        else if (allowSettings && a == "--set")
            o.session.settings.push_back(parseSetting(reader.value(a)));
        else if (allowSettings && a == "--preset")
            o.session.preset = reader.value(a);
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
