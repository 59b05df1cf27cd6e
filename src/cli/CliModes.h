// funzioni-eval's modes that run the window's sampling of a typed formula: --samples, --table and
// --study.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string_view>

#include "state/PlotView.h"

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
// args: XMIN XMAX YMIN YMAX, then --samples, --table, --study or --intersections with that
// mode's arguments.
int RunViewMode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

// The view as the window keeps it at that zoom: brought into range, and none when it is the
// zoom's seed view (or when there is no view).
std::optional<PlotView> WindowView(const std::optional<PlotView>& view, float zoom);

// --study and --intersections over a view given with --view (none: the zoom's seed view).
int RunStudyModeIn(std::span<const std::string_view> args, const std::optional<PlotView>& view,
                   std::ostream& out, std::ostream& err);
int RunIntersectionsModeIn(std::span<const std::string_view> args,
                           const std::optional<PlotView>& view, std::ostream& out,
                           std::ostream& err);

}  // namespace funzioni
