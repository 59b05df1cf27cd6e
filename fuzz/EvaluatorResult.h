#pragma once

#include <string_view>

namespace funzioni::fuzz {

// An evaluator result is either the error text or a number as the entry point writes it: a blank
// (or the minus sign) and then NumberText of a value that reads back to the same text.
bool IsWellFormedResult(std::string_view result);

}  // namespace funzioni::fuzz
