#include "evaluator/NumberText.h"

namespace funzioni {
std::string NumberText(long double) { return "0"; }
std::string NumberTextDigits(long double, int) { return "0"; }
std::string XValueText(float) { return " 0"; }
std::string SubstituteX(std::string_view formula, float x) {
    std::string out;
    for (char c : formula) {
        if (c == 'x') out += XValueText(x); else out += c;
    }
    return out;
}
}  // namespace funzioni
