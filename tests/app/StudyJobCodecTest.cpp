// The study's request and outcome as they cross to the page's background instance: everything
// the study window shows comes back as it went, and bytes that are not a whole message of this
// build are refused, never read past their end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "app/StudyJobCodec.h"

namespace funzioni {
namespace {

StudyOutcome FullOutcome() {
  StudyOutcome outcome;
  outcome.ticket = 7;
  outcome.formula = "x^2 'parabola \xE8";  // a history line in the Windows code page
  outcome.zoom = 50;
  outcome.xMin = -10;
  outcome.xMax = 10;
  outcome.lines = {
      {"Zeri: nessuno nell'intervallo visibile", std::nullopt},
      {"Minimo relativo: x \xE2\x89\x88 0, y \xE2\x89\x88 0", StudyMark{0, -0.0, false}},
      {"Asintoto verticale: x \xE2\x89\x88 1", StudyMark{1, std::nan(""), true}},
      {"", StudyMark{std::numeric_limits<double>::infinity(), -1e300, false}}};
  outcome.slopes = true;
  outcome.curve = {{-1.5f, -3.25}, {0.25f, 1e-310}};
  outcome.tableRows = {{"2.0", 9}, {"-0.5", -0.75}};
  outcome.ask = {1.5f, -1.0f, std::nullopt};
  outcome.rays = {{1, 0, -1, -1}, {0, 0, std::numeric_limits<double>::infinity(), 1}};
  outcome.area = {{0.0f, 0.0}, {0.5f, 0.25}};
  using Kind = SignChartItem::Kind;
  outcome.chart.xMin = -10;
  outcome.chart.xMax = 10;
  outcome.chart.rows[0].items = {{Kind::Interval, -10, 0, -1, false},
                                 {Kind::Gap, 0, 0, 0, false},
                                 {Kind::Interval, 0, 10, 1, false}};
  outcome.chart.rows[1].items = {{Kind::Minimum, 1, 1, 0, true}};
  outcome.chart.rows[2].dense = true;
  outcome.chart.rows[2].items = {{Kind::Pole, 2, 2, 0, false}};
  outcome.chartLines = {"Schema dei segni di f: \xE2\x88\x92 per x da -10 a 0"};
  return outcome;
}

TEST(StudyJobCodec, WhatTheWindowShowsComesBackAsItWent) {
  const StudyOutcome sent = FullOutcome();
  const std::optional<StudyOutcome> back = DecodeStudyOutcome(EncodeStudyOutcome(sent));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->ticket, sent.ticket);
  EXPECT_EQ(back->formula, sent.formula);
  EXPECT_EQ(back->zoom, sent.zoom);
  EXPECT_EQ(back->xMin, sent.xMin);
  EXPECT_EQ(back->xMax, sent.xMax);
  EXPECT_FALSE(back->failed);
  ASSERT_EQ(back->lines.size(), sent.lines.size());
  for (std::size_t i = 0; i < sent.lines.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back->lines[i].text, sent.lines[i].text);
    ASSERT_EQ(back->lines[i].mark.has_value(), sent.lines[i].mark.has_value());
    if (!sent.lines[i].mark) continue;
    const StudyMark& a = *sent.lines[i].mark;
    const StudyMark& b = *back->lines[i].mark;
    // Bit for bit, NaN and the sign of zero included.
    EXPECT_EQ(std::memcmp(&a.x, &b.x, sizeof a.x), 0);
    EXPECT_EQ(std::memcmp(&a.y, &b.y, sizeof a.y), 0);
    EXPECT_EQ(a.vertical, b.vertical);
  }
  ASSERT_TRUE(back->slopes);
  ASSERT_EQ(back->curve.size(), 2u);
  EXPECT_EQ(back->curve[0].x, -1.5f);
  EXPECT_EQ(back->curve[1].slope, 1e-310);
  ASSERT_EQ(back->tableRows.size(), 2u);
  EXPECT_EQ(back->tableRows[1].x, "-0.5");
  EXPECT_EQ(back->tableRows[1].slope, -0.75);
  EXPECT_EQ(back->ask, sent.ask);
  ASSERT_EQ(back->rays.size(), 2u);
  EXPECT_EQ(back->rays[0].side, -1);
  EXPECT_EQ(back->rays[1].slope, std::numeric_limits<double>::infinity());
  ASSERT_EQ(back->area.size(), 2u);
  EXPECT_EQ(back->area[1].x, 0.5f);
  EXPECT_EQ(back->area[1].y, 0.25);
  EXPECT_EQ(back->chart, sent.chart);
  EXPECT_EQ(back->chartLines, sent.chartLines);

  StudyRequest request;
  request.ticket = -3;
  request.state.currentFormula = std::string(5001, 'x');
  request.state.zoomValue.value = 12.5f;
  request.state.stepValue.value = 0.3f;
  request.state.view = PlotView{-1e6, 2.5, -0.0, 1e-3};
  request.slopes = true;
  request.ask = {std::nullopt, 0.0f, 3.0f};
  const std::optional<StudyRequest> asked = DecodeStudyRequest(EncodeStudyRequest(request));
  ASSERT_TRUE(asked.has_value());
  EXPECT_EQ(asked->ticket, -3);
  EXPECT_EQ(asked->state.currentFormula, request.state.currentFormula);
  EXPECT_EQ(asked->state.zoomValue.value, 12.5f);
  EXPECT_EQ(asked->state.stepValue.value, 0.3f);
  EXPECT_EQ(asked->state.view, request.state.view);
  request.state.view.reset();
  EXPECT_FALSE(DecodeStudyRequest(EncodeStudyRequest(request))->state.view.has_value());
  // A view the sampling could not walk is refused.
  for (const PlotView bad : {PlotView{1, 1, 0, 1}, PlotView{0, std::nan(""), 0, 1},
                             PlotView{0, 1, -std::numeric_limits<double>::infinity(), 1}}) {
    request.state.view = bad;
    EXPECT_FALSE(DecodeStudyRequest(EncodeStudyRequest(request)).has_value());
  }
  EXPECT_TRUE(asked->slopes);
  EXPECT_EQ(asked->ask, request.ask);
  // An end of the area that is not a number is refused.
  request.state.view.reset();
  request.ask.areaTo = std::nanf("");
  EXPECT_FALSE(DecodeStudyRequest(EncodeStudyRequest(request)).has_value());
}

TEST(StudyJobCodec, BytesThatAreNotAWholeMessageAreRefused) {
  const std::vector<std::uint8_t> good = EncodeStudyOutcome(FullOutcome());
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"one byte longer", good},
      {"another version", good},
      {"a request", EncodeStudyRequest(StudyRequest{})},
      {"a flag that is neither 0 nor 1", good},
      {"a count larger than the message", good},
  };
  cases[1].bytes.push_back(0);
  cases[2].bytes[2] ^= 0x40;
  // The failed flag follows the header (4), ticket (4), formula (4 + its bytes), zoom (4) and
  // the range (16).
  const std::size_t failedAt = 4 + 4 + 4 + FullOutcome().formula.size() + 4 + 16;
  cases[4].bytes[failedAt] = 2;
  cases[5].bytes[failedAt + 1] = 0xFF;  // the lines' count
  // The sign chart ends the message: its last item (kind, two ends, sign, flag: 22 bytes) before
  // the lines' count (4).
  StudyOutcome charted = FullOutcome();
  charted.chartLines.clear();
  const std::vector<std::uint8_t> chartBytes = EncodeStudyOutcome(charted);
  cases.push_back({"an item of no kind", chartBytes});
  cases.back().bytes[chartBytes.size() - 4 - 22] = 7;
  cases.push_back({"a sign of 2", chartBytes});
  cases.back().bytes[chartBytes.size() - 4 - 5] = 2;
  for (const Case& c : cases) {
    EXPECT_FALSE(DecodeStudyOutcome(c.bytes).has_value()) << c.name;
  }
  // Every message cut short.
  for (std::size_t size = 0; size < good.size(); ++size) {
    ASSERT_FALSE(DecodeStudyOutcome(std::span(good).first(size)).has_value()) << size;
  }
  EXPECT_FALSE(DecodeStudyRequest(good).has_value());
}

}  // namespace
}  // namespace funzioni
