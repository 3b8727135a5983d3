#include "platform/core/Numbers.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Splits off a leading sign; answers whether it was '-'.
bool TakeSign(std::string_view &text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        const bool negative = text.front() == '-';
        text.remove_prefix(1);
        return negative;
    }
    return false;
}

// Length of the decimal number (digits, point, exponent; no sign) that starts
// text; 0 when it holds none. Sets tenPower to the power of ten of its first
// significant digit (0 for 1-9.99, -1 for 0.1-0.99 ...), or INT_MIN when all
// its digits are zero.
std::size_t DecimalPrefix(std::string_view text, long long &tenPower) {
    std::size_t i = 0;
    std::size_t digits = 0;
    long long intDigits = 0;     // integer digits from the first non-zero one
    long long fractionZeros = 0; // zeros after the point before a non-zero digit
    bool significant = false;
    while (i < text.size() && IsDigit(text[i])) {
        significant = significant || text[i] != '0';
        intDigits += significant ? 1 : 0;
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            if (!significant && text[i] == '0') {
                ++fractionZeros;
            }
            significant = significant || text[i] != '0';
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                if (exponent < 1000000) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
                ++j;
            }
            exponent = negative ? -exponent : exponent;
            i = j;
        }
    }
    tenPower =
        significant ? exponent + (intDigits > 0 ? intDigits - 1 : -fractionZeros - 1) : LLONG_MIN;
    return i;
}

// A plain decimal ("12.5", "7", ".25": no exponent) of at most 19 digits whose digits make an
// integer below 2^53 with at most 22 after the point: the integer and the power of ten are
// exact, so one division gives the correctly rounded value, as from_chars does. False for
// anything else.
bool QuickDecimal(std::string_view text, double &value) {
    static constexpr double kTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (text.empty() || text.size() > 20)
        return false;
    std::uint64_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (const char c : text) {
        if (IsDigit(c)) {
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            ++count;
            decimals += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (count == 0 || count > 19 || digits > (std::uint64_t{1} << 53))
        return false;
    value = static_cast<double>(digits) / kTens[decimals];
    return true;
}

} // namespace

bool ParseDouble(std::string_view text, double &value) {
    text = TrimBlanks(text);
    const bool negative = TakeSign(text);
    double quick = 0.0;
    if (QuickDecimal(text, quick)) {
        value = negative ? -quick : quick;
        return true;
    }
    long long tenPower = 0;
    if (DecimalPrefix(text, tenPower) != text.size() || text.empty()) {
        return false;
    }
    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    value = negative ? -parsed : parsed;
    return true;
}

bool ParseInt(std::string_view text, int &value) {
    text = TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    // from_chars takes a '-' itself, so INT_MIN parses; a second sign is refused.
    const std::size_t digitsAt = negative ? 1 : 0;
    if (text.size() <= digitsAt || !IsDigit(text[digitsAt])) {
        return false;
    }
    int parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    value = parsed;
    return true;
}

double AtofC(const char *text) {
    if (text == nullptr) {
        return 0.0;
    }
    std::string_view rest(text);
    rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" \t\n\v\f\r")));
    const bool negative = TakeSign(rest);
    long long tenPower = 0;
    const std::size_t length = DecimalPrefix(rest, tenPower);
    if (length == 0) {
        return 0.0;
    }
    double parsed = 0.0;
    const std::errc ec = std::from_chars(rest.data(), rest.data() + length, parsed).ec;
    if (ec == std::errc::result_out_of_range) {
        parsed = tenPower > 0 ? HUGE_VAL : 0.0;
    } else if (ec != std::errc()) {
        return 0.0;
    }
    return negative ? -parsed : parsed;
}

int AtoiC(const char *text) {
    if (text == nullptr) {
        return 0;
    }
    std::string_view rest(text);
    rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" \t\n\v\f\r")));
    const bool negative = !rest.empty() && rest.front() == '-';
    if (!rest.empty() && rest.front() == '+') {
        rest.remove_prefix(1);
    }
    const std::size_t digitsAt = negative ? 1 : 0;
    if (rest.size() <= digitsAt || !IsDigit(rest[digitsAt])) {
        return 0;
    }
    int parsed = 0;
    const std::errc ec = std::from_chars(rest.data(), rest.data() + rest.size(), parsed).ec;
    if (ec == std::errc::result_out_of_range) {
        return negative ? INT_MIN : INT_MAX;
    }
    return parsed;
}

namespace {

// The digits of value ("%.*f" without padding) when they can be had from a
// scaled integer: magnitude times 10^decimals below 2^52 and not within a
// hair of a tie, which only the exact digits can settle. Null otherwise.
char *QuickFixed(char *out, double value, int decimals) {
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (decimals >= static_cast<int>(std::size(kTens)) || !std::isfinite(value))
        return nullptr;
    const double magnitude = std::fabs(value);
    const double scaled = magnitude * kTens[decimals];
    if (!(scaled < 4503599627370496.0)) // 2^52
        return nullptr;
    // magnitude * 10^decimals is exactly scaled + error.
    const double error = std::fma(magnitude, kTens[decimals], -scaled);
    const double whole = std::floor(scaled);
    const double fraction = (scaled - whole) + error;
    constexpr double kMargin = 1e-6;
    if (std::fabs(fraction - 0.5) < kMargin)
        return nullptr;
    std::uint64_t units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    // The decimals come off the low end, leaving the integer part.
    char decimalDigits[std::size(kTens)];
    for (int i = decimals - 1; i >= 0; --i) {
        decimalDigits[i] = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    if (std::signbit(value))
        *out++ = '-';
    out = std::to_chars(out, out + 20, units).ptr;
    if (decimals > 0) {
        *out++ = '.';
        std::memcpy(out, decimalDigits, static_cast<std::size_t>(decimals));
        out += decimals;
    }
    return out;
}

} // namespace

void AppendFixed(std::string &out, double value, int width, int decimals) {
    char text[400]; // the longest double in fixed form, with up to 60 decimals
    const int precision = decimals < 0 ? 6 : std::min(decimals, 60);
    std::size_t length = 0;
    if (const char *quick = QuickFixed(text, value, precision)) {
        length = static_cast<std::size_t>(quick - text);
    } else {
        const auto [end, error] =
            std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
        length = error == std::errc() ? static_cast<std::size_t>(end - text) : 0;
    }
    if (width > 0 && length < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - length, ' ');
    out.append(text, length);
}
