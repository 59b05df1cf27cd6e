// The typed formula read into a plan's operations, in the order the text engine performs them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "evaluator/FormulaPlan.h"

namespace funzioni::detail {

// Reads the normalised formula (x marked by kPlaceOfX) into operations tagged with the order in
// which the engine performs them: parenthesised parts innermost and leftmost first, and within
// one part stage by stage, functions by their number in FunctionTable, operators from the left.
class PlanParser {
 public:
  struct Tagged {
    int part = 0;
    int stage = 0;
    int key = 0;
    int position = 0;
    int after = 0;  // how many signs and roundings follow the operation it applies to
    PlanCode code = PlanCode::X;
    std::uint8_t function = 0;
    std::uint16_t a = 0, b = 0, out = 0;
    float constant = 0;
  };

  explicit PlanParser(std::string_view text) : text_(text) {}

  bool Parse();

  std::vector<Tagged>& Ops() { return ops_; }
  std::uint16_t Result() const { return result_; }
  std::uint16_t Registers() const { return registers_; }

 private:
  int NewPart();
  // A part is finished (and its stages run) when its ")" is read: inner parts before outer ones.
  void CloseAt(int part);

  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  std::uint16_t Emit(Tagged op);

  std::optional<std::uint16_t> Binary(int part, auto&& operand, std::string_view operators,
                                      int stage);

  static PlanCode CodeOf(char c);

  std::optional<std::uint16_t> Sum(int part);
  std::optional<std::uint16_t> Modulo(int part);
  std::optional<std::uint16_t> IntegerDivision(int part);
  std::optional<std::uint16_t> Product(int part);
  std::optional<std::uint16_t> Power(int part);

  // One sign binds to the operand after it, whatever follows.
  std::optional<std::uint16_t> Signed(int part);

  std::optional<std::uint16_t> Operand(int part);

  std::optional<std::uint16_t> Load(int part, PlanCode code, float constant);

  // Digits with at most one point; a letter, or x, right after it would join it.
  std::optional<std::uint16_t> Number(int part);

  std::optional<std::uint16_t> Group();

 public:
  // The order of the parts, by the time each was finished.
  int PartOrder(int part) const { return partOrder_[static_cast<std::size_t>(part)]; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::vector<Tagged> ops_;
  std::vector<int> open_;
  std::vector<int> partOrder_;
  int closed_ = 0;
  std::uint16_t registers_ = 0;
  std::uint16_t result_ = 0;
};

}  // namespace funzioni::detail
