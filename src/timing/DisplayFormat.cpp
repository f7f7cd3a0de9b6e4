#include "DisplayFormat.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace tallyclock {

QString formatDisplay(double seconds)
{
    if (!std::isfinite(seconds))
        return QString::number(seconds);

    constexpr int significant = 15;
    constexpr int decimals = 3;

    // Scientific form with 15 significant digits: "d.dddddddddddddde+XX".
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, std::fabs(seconds));
    const std::string scientific(buffer);
    const std::string::size_type e = scientific.find('e');
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    const int exponent = std::stoi(scientific.substr(e + 1));

    // digits[i] has the place value 10^(exponent - i); keep places down to 10^-3.
    const int lastKept = exponent + decimals;
    std::string kept;
    int roundingDigit = 0;
    if (lastKept >= 0) {
        if (lastKept + 1 > static_cast<int>(digits.size()))
            digits.append(static_cast<std::size_t>(lastKept + 1) - digits.size(), '0');
        kept = digits.substr(0, static_cast<std::size_t>(lastKept) + 1);
        if (lastKept + 1 < static_cast<int>(digits.size()))
            roundingDigit = digits[static_cast<std::size_t>(lastKept) + 1] - '0';
    } else if (lastKept == -1) {
        roundingDigit = digits[0] - '0';
    }

    if (roundingDigit >= 5) {
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i)
            kept[static_cast<std::size_t>(i)] = '0';
        if (i >= 0)
            ++kept[static_cast<std::size_t>(i)];
        else
            kept.insert(kept.begin(), '1');
    }

    // Thousandths as a digit string: at least four digits, no leading zeros beyond.
    const std::string::size_type firstNonZero = kept.find_first_not_of('0');
    const bool isZero = firstNonZero == std::string::npos;
    kept = isZero ? std::string() : kept.substr(firstNonZero);
    if (kept.size() < decimals + 1)
        kept.insert(kept.begin(), decimals + 1 - kept.size(), '0');

    std::string text
        = kept.substr(0, kept.size() - decimals) + '.' + kept.substr(kept.size() - decimals);
    if (seconds < 0 && !isZero)
        text.insert(text.begin(), '-');
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace tallyclock
