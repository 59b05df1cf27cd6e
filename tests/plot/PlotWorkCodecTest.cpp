// The plot's work and outcome through bytes and back: what a decoded outcome shows must be what
// the computed one shows, pixel for pixel and row for row, and bytes that are not a message of
// this build must decode to nothing.

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "drawing/DialogServices.h"
#include "plot/Curves.h"
#include "plot/PlotBackgroundCache.h"
#include "plot/PlotBoard.h"
#include "plot/PlotCompute.h"
#include "plot/PlotIds.h"
#include "plot/PlotWorkCodec.h"
#include "plot/ResultsTable.h"

namespace funzioni {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A dialog with the plotting area and the results list, showing outcomes as the window does.
struct Board {
  Board() {
    dialog.AddControl(ControlKind::Surface, kPlotAreaId, "", 4, 4, 600, 600);
    dialog.AddControl(ControlKind::TextList, kResultsListId, "", 860, 4, 110, 240);
  }
  void Show(PlotOutcome& outcome) {
    if (outcome.table) ShowFormulaTable(dialog, *outcome.table, outcome.tableRows);
    if (outcome.whole) ShowPlotPicture(dialog, kPlotAreaId, outcome.zoom, *outcome.whole, cache);
    if (outcome.over) ShowFormulaDots(dialog, kPlotAreaId, *outcome.over);
  }
  std::string Pixels() { return dialog.AttachSurface(kPlotAreaId).GetSurfacePixels(); }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 1; i <= dialog.ListCount(kResultsListId); ++i) {
      rows.push_back(dialog.ListLine(kResultsListId, i));
    }
    return rows;
  }
  Dialog dialog{"funzioni", 0, 0, 974, 720, false};
  PlotBackgroundCache cache;
};

struct WorkCase {
  const char* name;
  PlotWork::Picture picture;
  float zoom;
  const char* formula;
};

PlotWork WorkOf(const WorkCase& c, int ticket) {
  PlotWork work;
  work.picture = c.picture;
  work.state.zoomValue.value = c.zoom;
  work.state.currentFormula = c.formula;
  for (int n = 1; n <= functionCount; ++n) work.state.curveOn[n] = 1;
  work.state.paramA[3].value = -2.25f;
  work.size = {600, 600};
  work.table = work.state;
  work.tableTicket = ticket;
  return work;
}

TEST(PlotWorkCodec, DecodedOutcomesShowWhatTheComputedOnesShow) {
  using enum PlotWork::Picture;
  const WorkCase cases[] = {
      {"every curve and a formula", Whole, 50, "SIN(x)*x^2"},
      {"no formula, zoom 9", Whole, 9, ""},
      {"the formula over the picture", FormulaOver, 137, "1/x"},
      {"a table only", None, 100, "LOG(x)"},
  };
  PlotComputer computer(1);
  Board computed;
  Board decoded;
  int ticket = 0;
  for (const WorkCase& c : cases) {
    const PlotWork original = WorkOf(c, ++ticket);
    // The work crosses too; what the other side computes is of the decoded work.
    const Bytes workBytes = EncodePlotWork(original);
    const std::optional<PlotWork> work = DecodePlotWork(workBytes);
    ASSERT_TRUE(work) << c.name;
    EXPECT_EQ(EncodePlotWork(*work), workBytes) << c.name;

    std::optional<PlotOutcome> outcome = computer.Compute(original, DotLayer{});
    ASSERT_TRUE(outcome) << c.name;
    const Bytes bytes = EncodePlotOutcome(*outcome);
    std::optional<PlotOutcome> back = DecodePlotOutcome(bytes);
    ASSERT_TRUE(back) << c.name;
    EXPECT_EQ(back->tableTicket, ticket) << c.name;
    EXPECT_EQ(EncodePlotOutcome(*back), bytes) << c.name;
    computed.Show(*outcome);
    decoded.Show(*back);
    EXPECT_TRUE(computed.Pixels() == decoded.Pixels()) << c.name;
    EXPECT_EQ(computed.Rows(), decoded.Rows()) << c.name;
  }
}

// A small outcome whose fields lie at known places: header 0..3, picture 4, zoom 5..8, whole 9,
// width 10..13, height 14..17, dots 18..21, first dot 22..25 and its colour 26..29.
PlotOutcome SmallOutcome() {
  PlotOutcome outcome;
  outcome.picture = PlotWork::Picture::Whole;
  outcome.zoom = 50;
  outcome.whole.emplace();
  outcome.whole->layer.Reset(4, 3);
  outcome.whole->layer.Put(3, 2, 0x00FF00);
  outcome.whole->layer.Put(1, 0, 0x0000FF);
  outcome.whole->formulaShown = true;
  outcome.whole->formulaLastPosition = std::pair{1.5, -2.0};
  outcome.over = FormulaDots{{1, 2, 3}, std::nullopt};
  outcome.table.emplace(1, 'x');
  outcome.tableRows = {"1", "22"};
  outcome.tableTicket = 7;
  return outcome;
}

Bytes With(Bytes bytes, std::size_t at, std::vector<std::uint8_t> replacement) {
  for (std::size_t i = 0; i < replacement.size(); ++i) bytes[at + i] = replacement[i];
  return bytes;
}

TEST(PlotWorkCodec, MalformedBytesDecodeToNothing) {
  const Bytes good = EncodePlotOutcome(SmallOutcome());
  ASSERT_TRUE(DecodePlotOutcome(good));
  Bytes longer = good;
  longer.push_back(0);
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"one byte more", longer},
      {"another version", With(good, 2, {9})},
      {"a work, not an outcome", EncodePlotWork(PlotWork{})},
      {"no such picture", With(good, 4, {3})},
      {"a flag neither 0 nor 1", With(good, 9, {2})},
      {"a layer wider than any area", With(good, 10, {0, 0, 1, 0})},
      {"a layer of too many pixels", With(good, 10, {0, 0x30, 0, 0, 0, 0x30, 0, 0})},
      {"more dots than the bytes hold", With(good, 18, {0xFF, 0xFF, 0xFF, 0x0F})},
      {"a dot off the layer", With(good, 22, {12, 0, 0, 0})},
      {"a negative colour", With(good, 26, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"a dot twice", With(good, 30, {11, 0, 0, 0})},
  };
  for (const auto& c : cases) EXPECT_FALSE(DecodePlotOutcome(c.bytes)) << c.name;
  // Cut short anywhere, a message is refused.
  for (std::size_t size = 0; size < good.size(); ++size) {
    EXPECT_FALSE(DecodePlotOutcome(std::span(good).first(size))) << "cut at " << size;
  }
  const Bytes work = EncodePlotWork(PlotWork{});
  for (std::size_t size = 0; size < work.size(); ++size) {
    EXPECT_FALSE(DecodePlotWork(std::span(work).first(size))) << "work cut at " << size;
  }
  EXPECT_FALSE(DecodePlotWork(good)) << "an outcome, not a work";
}

TEST(PlotWorkCodec, AnyChangedByteDecodesToSomethingOrNothingWithoutHarm) {
  const Bytes good = EncodePlotOutcome(SmallOutcome());
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (const std::uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
      const Bytes bad = With(good, at, {value});
      if (std::optional<PlotOutcome> outcome = DecodePlotOutcome(bad)) {
        EXPECT_EQ(EncodePlotOutcome(*outcome), bad) << "byte " << at;
      }
    }
  }
}

}  // namespace
}  // namespace funzioni
