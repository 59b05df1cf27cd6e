#include <iostream>
#include <string>
#include "evaluator/ExpressionEvaluator.h"
int main() {
    funzioni::ExpressionEvaluator ev;
    std::string line;
    while (std::getline(std::cin, line)) std::cout << ev.EvaluateExpressionText(line) << '\n';
    return 0;
}
