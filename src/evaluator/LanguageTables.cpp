#include "evaluator/ExpressionEvaluator.h"

namespace funzioni {
void InitEvaluatorTables() {}
const std::array<std::string, 48>& ReferenceList() { static std::array<std::string, 48> t; return t; }
const std::array<std::string, 48>& NameList() { static std::array<std::string, 48> t; return t; }
const std::array<std::string, 36>& FunctionTable() { static std::array<std::string, 36> t; return t; }
}  // namespace funzioni
