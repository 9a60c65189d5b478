#pragma once
// VARIANT is the tagged value that procedures and controls pass to each other: a 16-bit integer
// (VT_I2), an IEEE 754 binary64 double (VT_R8), a UTF-16 text (VT_BSTR) or nothing (VT_EMPTY).
// The arithmetic on it lives in Arithmetic.h; this file only holds and converts values.

#include <QString>
#include <cstdint>
#include <variant>

namespace runtime {

enum VarType : std::uint16_t {
    VT_EMPTY = 0,
    VT_I2 = 2,
    VT_R8 = 5,
    VT_BSTR = 8,
};

class VARIANT {
public:
    /// An empty value. Example: `VARIANT().vt() == VT_EMPTY`.
    VARIANT() noexcept = default;

    /// Example: `VARIANT::i2(40).vt() == VT_I2`, `VARIANT::i2(40).asI2() == 40`.
    static VARIANT i2(std::int16_t value) noexcept { return VARIANT(Storage(value)); }
    /// Example: `VARIANT::r8(0.5).vt() == VT_R8`, `VARIANT::r8(0.5).asR8() == 0.5`.
    static VARIANT r8(double value) noexcept { return VARIANT(Storage(value)); }
    /// Example: `VARIANT::bstr(QStringLiteral("100")).vt() == VT_BSTR`; the text is shared, not
    /// copied.
    static VARIANT bstr(QString text) noexcept { return VARIANT(Storage(std::move(text))); }

    VarType vt() const noexcept {
        constexpr VarType kTags[] = {VT_EMPTY, VT_I2, VT_R8, VT_BSTR};
        return kTags[m_value.index()];
    }

    /// The held value; the tag must match (check vt() first), otherwise the call throws
    /// RuntimeError(ErrorCode::TypeMismatch).
    std::int16_t asI2() const { return get<std::int16_t>(); }
    double asR8() const { return get<double>(); }
    const QString& asBstr() const { return get<QString>(); }

    /// The value as text: a text as it is, VT_EMPTY as "", a number in the shortest form that
    /// reads back to the same value, with "." as decimal point.
    /// Example: `VARIANT::i2(-7).toText() == "-7"`, `VARIANT::r8(0.1).toText() == "0.1"`,
    /// `VARIANT::r8(1e300).toText() == "1e+300"`.
    QString toText() const;

    friend bool operator==(const VARIANT& a, const VARIANT& b) noexcept {
        return a.m_value == b.m_value;
    }

private:
    using Storage = std::variant<std::monostate, std::int16_t, double, QString>;

    template <class T>
    const T& get() const {
        if (const T* value = std::get_if<T>(&m_value)) {
            return *value;
        }
        throwTypeMismatch();
    }
    [[noreturn]] static void throwTypeMismatch();
    explicit VARIANT(Storage value) noexcept
        : m_value(std::move(value)) {}

    Storage m_value;
};

} // namespace runtime
