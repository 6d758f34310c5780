#pragma once

#include <QMetaType>

#include <cmath>
#include <compare>
#include <cstdint>

// Refuses an amount money cannot hold: throws Error with the amount in words.
[[noreturn]] void refuseAmount(double kroner);
[[noreturn]] void refuseSum();

// An exact amount with four decimal places, held as a count of 1/10000 units. Amounts beyond what it can
// hold are refused (Error), never wrapped around: no overflow ever becomes a stored or printed amount.
class Money {
public:
    static constexpr std::int64_t Scale = 10000;
    static constexpr std::int64_t MaxKroner = 922337203685477;

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t units) { return Money(units); }
    // x * 10000 rounded to the nearest unit, ties to even. The product is taken in long double, so the
    // rounding sees the double's true value rather than a product already rounded to double.
    static Money fromDouble(double x)
    {
        if (!fits(x))
            refuseAmount(x);
        const long double scaled = static_cast<long double>(x) * Scale;
        return Money(static_cast<std::int64_t>(std::nearbyintl(scaled)));
    }

    // Whether x kroner can be held: a finite amount within about ±922 337 203 685 477.
    static bool fits(double x) { return std::isfinite(x) && std::fabs(x) < MaxKroner; }
    // Whether a count of units is such an amount; the few counts beyond it only an overflow leaves.
    static constexpr bool fitsUnits(std::int64_t units)
    {
        return units > -MaxKroner * Scale && units < MaxKroner * Scale;
    }

    constexpr std::int64_t units() const { return m_units; }
    constexpr double toDouble() const { return static_cast<double>(m_units) / Scale; }
    constexpr bool isZero() const { return m_units == 0; }

    // The amount in whole kroner, a half to the even neighbour (the rounding line of an invoice). A
    // rounding beyond what money can hold is refused like such a sum.
    constexpr Money roundedToKroner() const
    {
        std::int64_t kroner = m_units / Scale;
        const std::int64_t rest = m_units % Scale; // takes the sign of the amount
        constexpr std::int64_t half = Scale / 2;
        if (rest > half || (rest == half && kroner % 2 != 0))
            ++kroner;
        else if (rest < -half || (rest == -half && kroner % 2 != 0))
            --kroner;
        std::int64_t whole = 0;
        if (__builtin_mul_overflow(kroner, Scale, &whole) || !fitsUnits(whole))
            refuseSum();
        return Money(whole);
    }

    constexpr Money operator+(Money o) const
    {
        std::int64_t sum = 0;
        if (__builtin_add_overflow(m_units, o.m_units, &sum) || !fitsUnits(sum))
            refuseSum();
        return Money(sum);
    }
    constexpr Money operator-(Money o) const
    {
        std::int64_t difference = 0;
        if (__builtin_sub_overflow(m_units, o.m_units, &difference) || !fitsUnits(difference))
            refuseSum();
        return Money(difference);
    }
    constexpr Money operator-() const { return Money(-m_units); }
    constexpr Money &operator+=(Money o) { return *this = *this + o; }
    constexpr Money &operator-=(Money o) { return *this = *this - o; }
    constexpr auto operator<=>(const Money &) const = default;

private:
    constexpr explicit Money(std::int64_t units) : m_units(units) {}
    std::int64_t m_units = 0;
};

// money(x) of the invoice rules.
inline Money money(double x)
{
    return Money::fromDouble(x);
}

Q_DECLARE_METATYPE(Money)
