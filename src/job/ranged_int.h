// An integer setting that keeps itself inside its range: every assignment clamps.
#pragma once

#include <algorithm>
#include <cstdint>

namespace quorvel {

template <std::int32_t Lo, std::int32_t Hi>
class RangedInt {
 public:
  static constexpr std::int32_t kMin = Lo;
  static constexpr std::int32_t kMax = Hi;

  constexpr RangedInt(std::int32_t value = Lo) : value_(Clamp(value)) {}  // NOLINT: implicit
  constexpr RangedInt& operator=(std::int32_t value) {
    value_ = Clamp(value);
    return *this;
  }
  constexpr operator std::int32_t() const { return value_; }  // NOLINT: implicit
  constexpr std::int32_t value() const { return value_; }

  static constexpr std::int32_t Clamp(std::int32_t v) { return std::clamp(v, Lo, Hi); }

 private:
  std::int32_t value_;
};

}  // namespace quorvel
