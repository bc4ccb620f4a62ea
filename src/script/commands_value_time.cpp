// get_local_time: a time text normalised by the local-time conversion.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "script/commands_value.h"

namespace glint {

namespace {

int clampField(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// Fields of "year:month:day:hour:minute:second" read from the right; a
// leading "-" makes a field negative, any other character ends it, and
// missing leading fields are 0.
void parseTimeFields(const char* text, int fields[6]) {
    for (int i = 0; i < 6; ++i) fields[i] = 0;
    size_t end = std::strlen(text);
    for (int index = 5; index >= 0; --index) {
        size_t start = end;
        while (start > 0 && text[start - 1] != ':') --start;
        const char* p = text + start;
        bool negative = *p == '-';
        if (negative) ++p;
        int value = 0;
        for (; p < text + end && *p >= '0' && *p <= '9' && value < 100000; ++p) value = value * 10 + (*p - '0');
        fields[index] = negative ? -value : value;
        if (start == 0) break;
        end = start - 1;
    }
}

Value formatTime(const std::tm& t) {
    char out[64];
    std::snprintf(out, sizeof out, "%.4d:%.2d:%.2d:%.2d:%.2d:%.2d+%.1d", clampField(t.tm_year + 1900, 1900, 2999),
                  clampField(t.tm_mon + 1, 1, 12), clampField(t.tm_mday, 1, 31), clampField(t.tm_hour, 0, 23),
                  clampField(t.tm_min, 0, 59), clampField(t.tm_sec, 0, 59), t.tm_isdst > 0 ? 1 : 0);
    return Value::fromSymbol(intern(out));
}

// The given fields, clamped, taken as standard time and normalised: 30
// February becomes 1 March, and a summer date comes back an hour later
// with the daylight-saving flag.
std::tm normalised(const char* text) {
    int f[6];
    parseTimeFields(text, f);
    std::tm t{};
    t.tm_year = clampField(f[0], 1900, 2999) - 1900;
    t.tm_mon = clampField(f[1], 1, 12) - 1;
    t.tm_mday = clampField(f[2], 1, 31);
    t.tm_hour = clampField(f[3], 0, 23);
    t.tm_min = clampField(f[4], 0, 59);
    t.tm_sec = clampField(f[5], 0, 59);
    t.tm_isdst = 0;
    std::mktime(&t);
    return t;
}

} // namespace

// get_local_time out [time]. The current time is the local time as it
// stands, not a text round trip: writing it with the hour one lower under
// daylight saving (so that the conversion gives the hour back) would turn
// 00:30 summer time into 01:30.
uint32_t commandGetLocalTime(Value* args, int count) {
    if (count > 1 && args[1].isString()) {
        args[0] = formatTime(normalised(args[1].symbol()->text));
        return 1;
    }
    std::time_t clock = std::time(nullptr);
    std::tm local{};
    localtime_r(&clock, &local);
    args[0] = formatTime(local);
    return 1;
}

} // namespace glint
