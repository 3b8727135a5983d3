// rround against a decimal rounding on digit strings, built from the exact
// decimal expansion of each double printed by the C library.
#include "kernels/Nistrel/ExDouble.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// Adds k at index i of a digit string, carrying left.
void addAt(std::string &digits, long i, unsigned k) {
    for (; k != 0 && i >= 0; --i) {
        unsigned v = static_cast<unsigned>(digits[i] - '0') + k;
        digits[i] = static_cast<char>('0' + v % 10);
        k = v / 10;
    }
    if (k != 0)
        digits.insert(0, std::to_string(k));
}

// The 15 significant digits of |x| after adding 0.05 of the last one, a tie going to the
// even digit; lead is the weight of the first.
std::string image(double x, int &lead) {
    // Exact for |x| above 1e-20, whose expansions stop within 100 significant digits.
    char buf[160];
    std::snprintf(buf, sizeof buf, "%.120e", std::fabs(x));
    lead = std::atoi(std::strchr(buf, 'e') + 1);
    std::string all = std::string(1, '0').append(1, buf[0]).append(buf + 2, 120);
    addAt(all, 17, 5);
    std::string d = all.substr(0, 16);
    char next = all[16];
    bool restZero = all.find_first_not_of('0', 17) == std::string::npos;
    if (next > '5' || (next == '5' && (!restZero || (d[15] - '0') % 2 == 1)))
        addAt(d, 15, 1);
    if (d[0] != '0')
        ++lead;
    return d.substr(d[0] == '0' ? 1 : 0, 15);
}

double expected(double x, int unit, unsigned n, unsigned s) {
    int lead;
    std::string d = image(x, lead);
    auto dig = [&](long w) { return w <= lead && w > lead - 15 ? d[lead - w] - '0' : 0; };
    std::string sign = std::signbit(x) ? "-" : "";
    if (unit - 1 < lead - 14)
        return std::strtod((sign + d + "e" + std::to_string(lead - 14)).c_str(), nullptr);
    std::string kept;
    for (long w = std::max(lead, unit + 1); w >= unit; --w)
        kept += static_cast<char>('0' + dig(w));
    int first = dig(unit - 1);
    bool restNonZero = false;
    for (long w = unit - 2; w > lead - 15; --w)
        restNonZero = restNonZero || dig(w) != 0;
    // Tenths of a unit above the multiple of the step below.
    unsigned last2 = static_cast<unsigned>(std::stoi(kept.substr(kept.size() - 2)));
    unsigned within = last2 % s * 10 + static_cast<unsigned>(first);
    bool up;
    if (n >= 10) {
        bool tie = within == 5 * s && (n == 11 || !restNonZero);
        up = tie ? (last2 / s) % 2 == 1 : within >= 5 * s;
    } else {
        up = within + n * s >= 10 * s;
    }
    unsigned lower = last2 - last2 % s;
    kept[kept.size() - 2] = static_cast<char>('0' + lower / 10);
    kept[kept.size() - 1] = static_cast<char>('0' + lower % 10);
    if (up)
        addAt(kept, static_cast<long>(kept.size()) - 1, s);
    return std::strtod((sign + kept + "e" + std::to_string(unit)).c_str(), nullptr);
}

TEST(RoundingOracleTest, RandomValuesAgreeWithDigitStringRounding) {
    std::mt19937_64 rng(20240611);
    const unsigned thresholds[] = {0, 4, 5, 9, 10, 11};
    for (int i = 0; i < 100000; ++i) {
        double x;
        if (i % 2 == 0) {
            x = std::uniform_real_distribution<double>(1.0, 10.0)(rng) *
                std::pow(10.0, static_cast<int>(rng() % 15) - 6);
        } else { // a typed value of up to 10 digits ending in 5, often an exact half
            int digits = 1 + static_cast<int>(rng() % 9);
            std::uint64_t m = rng() % static_cast<std::uint64_t>(std::pow(10, digits));
            int e = static_cast<int>(rng() % 16) - 7 - digits;
            x = std::strtod((std::to_string(m) + "5e" + std::to_string(e)).c_str(), nullptr);
        }
        if (rng() & 1)
            x = -x;
        int unit = static_cast<int>(rng() % 16) - 9;
        for (unsigned s : {1u, 5u})
            for (unsigned n : thresholds)
                ASSERT_EQ(ExDouble::rround(x, unit, s * 256 + n), expected(x, unit, n, s))
                    << std::hexfloat << x << " unit " << unit << " n " << n << " s " << s;
    }
}

} // namespace
