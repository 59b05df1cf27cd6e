#include "EvaluatorResult.h"

#include <cstdlib>
#include <string>

#include "evaluator/NumberText.h"

namespace funzioni::fuzz {

bool IsWellFormedResult(std::string_view result) {
  constexpr std::string_view kErrorPrefix = "   Error in Expression: ";
  if (result.substr(0, kErrorPrefix.size()) == kErrorPrefix) return true;
  if (result.find("rror") != std::string_view::npos) return false;
  if (result.size() < 2) return false;
  // A value that is not negative has a blank in front; a negative one starts with its sign.
  const std::string_view number = result.front() == ' ' ? result.substr(1) : result;
  for (const char c : number) {
    const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == 'E' || c == '+' || c == '-';
    if (!allowed) return false;
  }
  const std::string text(number);
  char* end = nullptr;
  const long double value = std::strtold(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return false;
  if ((result.front() == ' ') == (value < 0)) return false;
  return NumberText(value) == number;
}

}  // namespace funzioni::fuzz
