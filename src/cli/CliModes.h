// funzioni-eval's modes that run the window's sampling of a typed formula: --samples, --table and
// --study.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace funzioni {

// args: what follows the mode's name. Returns the exit status.
int RunSamplesMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
int RunTableMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
int RunStudyMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
// --tangent X0 FORMULA, --integral A B FORMULA, --intersections ZOOM F G.
int RunTangentMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
int RunIntegralMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
int RunIntersectionsMode(std::span<const std::string_view> args, std::ostream& out,
                         std::ostream& err);
// args: XMIN XMAX YMIN YMAX, then --samples or --table with that mode's arguments.
int RunViewMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace funzioni
