#include <cctype>
#include <cstdio>

#include "vorsan/automation/Com.h"

namespace vorsan {

std::string guidToString(const GUID& g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(g.Data1),
                  unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                  g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

namespace {
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

bool guidFromString(std::string_view t, GUID& out) {
    // {8-4-4-4-12}
    if (t.size() != 38 || t.front() != '{' || t.back() != '}') return false;
    if (t[9] != '-' || t[14] != '-' || t[19] != '-' || t[24] != '-') return false;
    auto hex = [&](std::size_t pos, std::size_t n, uint64_t& v) {
        v = 0;
        for (std::size_t i = 0; i < n; ++i) {
            int d = hexValue(t[pos + i]);
            if (d < 0) return false;
            v = v * 16 + static_cast<uint64_t>(d);
        }
        return true;
    };
    uint64_t a, b, c, d, e;
    if (!hex(1, 8, a) || !hex(10, 4, b) || !hex(15, 4, c) || !hex(20, 4, d) || !hex(25, 12, e)) return false;
    GUID g;
    g.Data1 = static_cast<uint32_t>(a);
    g.Data2 = static_cast<uint16_t>(b);
    g.Data3 = static_cast<uint16_t>(c);
    g.Data4[0] = static_cast<uint8_t>(d >> 8);
    g.Data4[1] = static_cast<uint8_t>(d);
    for (int i = 0; i < 6; ++i) g.Data4[2 + i] = static_cast<uint8_t>(e >> (8 * (5 - i)));
    out = g;
    return true;
}

} // namespace vorsan
