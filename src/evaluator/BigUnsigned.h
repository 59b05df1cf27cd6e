// A small fixed-capacity unsigned integer, just large enough to hold any extended value scaled by
// any power of ten that the decimal rounding needs. Only the operations the rounding uses.
#pragma once

#include <array>
#include <cstdint>

#include "evaluator/DecimalScaling.h"

namespace funzioni::detail {

class BigUnsigned {
 public:
  // 200 limbs of 64 bits: 12800 bits, above the ~11600 bits that the widest case needs
  // (a 64-bit mantissa times 5^4968 for the smallest subnormal extended value).
  static constexpr int kCapacity = 200;

  BigUnsigned() = default;
  explicit BigUnsigned(std::uint64_t value) { Assign(value); }

  void Assign(std::uint64_t value) {
    size_ = value != 0 ? 1 : 0;
    limbs_[0] = value;
  }

  void MultiplyBy(std::uint64_t factor) {
    std::uint64_t carry = 0;
    for (int i = 0; i < size_; ++i) {
      const UInt128 product = static_cast<UInt128>(limbs_[i]) * factor + carry;
      limbs_[i] = static_cast<std::uint64_t>(product);
      carry = static_cast<std::uint64_t>(product >> 64);
    }
    if (carry != 0) limbs_[size_++] = carry;
    if (factor == 0) size_ = 0;
  }

  void MultiplyByPowerOfFive(int exponent) {
    constexpr int kLargest = static_cast<int>(kPowersOfFive.size()) - 1;
    for (; exponent >= kLargest; exponent -= kLargest) MultiplyBy(kPowersOfFive[kLargest]);
    if (exponent > 0) MultiplyBy(kPowersOfFive[static_cast<std::size_t>(exponent)]);
  }

  void ShiftLeft(int bits) {
    if (size_ == 0 || bits <= 0) return;
    const int limbShift = bits / 64;
    const int bitShift = bits % 64;
    if (bitShift != 0) {
      std::uint64_t carry = 0;
      for (int i = 0; i < size_; ++i) {
        const std::uint64_t limb = limbs_[i];
        limbs_[i] = (limb << bitShift) | carry;
        carry = limb >> (64 - bitShift);
      }
      if (carry != 0) limbs_[size_++] = carry;
    }
    if (limbShift != 0) {
      for (int i = size_ - 1; i >= 0; --i) limbs_[i + limbShift] = limbs_[i];
      for (int i = 0; i < limbShift; ++i) limbs_[i] = 0;
      size_ += limbShift;
    }
  }

  // this = other * factor, without copying other's unused capacity.
  void AssignProduct(const BigUnsigned& other, std::uint64_t factor) {
    size_ = other.size_;
    for (int i = 0; i < size_; ++i) limbs_[i] = other.limbs_[i];
    MultiplyBy(factor);
  }

  friend int Compare(const BigUnsigned& a, const BigUnsigned& b) {
    if (a.size_ != b.size_) return a.size_ < b.size_ ? -1 : 1;
    for (int i = a.size_ - 1; i >= 0; --i) {
      if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
    }
    return 0;
  }

 private:
  // Only limbs_[0, size_) are meaningful; the rest is left uninitialised on purpose (speed).
  std::array<std::uint64_t, kCapacity> limbs_;
  int size_ = 0;
};

}  // namespace funzioni::detail
