// A small JSON writer for the command-line tool's machine-readable output.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace tavelo::cli
{

class JsonWriter
{
public:
    JsonWriter& beginObject() { return open('{'); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray() { return open('['); }
    JsonWriter& endArray() { return close(']'); }

    JsonWriter& key(const std::string& k)
    {
        separate();
        appendString(k);
        mText += ": ";
        mAfterKey = true;
        return *this;
    }
    JsonWriter& value(const std::string& v)
    {
        separate();
        appendString(v);
        return *this;
    }
    JsonWriter& value(const char* v) { return value(std::string(v ? v : "")); }
    JsonWriter& value(bool v)
    {
        separate();
        mText += v ? "true" : "false";
        return *this;
    }
    JsonWriter& value(double v)
    {
        separate();
        if (!std::isfinite(v))
            mText += "null";
        else
        {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.10g", v);
            mText += buf;
        }
        return *this;
    }
    JsonWriter& value(long long v)
    {
        separate();
        mText += std::to_string(v);
        return *this;
    }
    JsonWriter& value(int v) { return value(static_cast<long long>(v)); }
    JsonWriter& value(unsigned v) { return value(static_cast<long long>(v)); }
    JsonWriter& value(long v) { return value(static_cast<long long>(v)); }
    JsonWriter& value(unsigned long v) { return value(static_cast<long long>(v)); }

    template <class T> JsonWriter& field(const std::string& k, const T& v)
    {
        return key(k).value(v);
    }

    const std::string& str() const { return mText; }

private:
    JsonWriter& open(char c)
    {
        separate();
        mText += c;
        mFirst.push_back(true);
        return *this;
    }
    JsonWriter& close(char c)
    {
        mFirst.pop_back();
        mText += c;
        return *this;
    }
    void separate()
    {
        if (mAfterKey)
        {
            mAfterKey = false;
            return;
        }
        if (!mFirst.empty())
        {
            if (!mFirst.back()) mText += ", ";
            mFirst.back() = false;
        }
    }
    void appendString(const std::string& s)
    {
        mText += '"';
        for (unsigned char c : s)
        {
            switch (c)
            {
            case '"':
                mText += "\\\"";
                break;
            case '\\':
                mText += "\\\\";
                break;
            case '\n':
                mText += "\\n";
                break;
            case '\t':
                mText += "\\t";
                break;
            default:
                if (c < 0x20)
                {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    mText += buf;
                }
                else
                    mText += char(c);
            }
        }
        mText += '"';
    }

    std::string mText;
    std::vector<bool> mFirst;
    bool mAfterKey = false;
};

} // namespace tavelo::cli
