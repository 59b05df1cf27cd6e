#include "ReferenceSteps.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <array>
#include <utility>

namespace funzioni::web_reference {

namespace {

// The page's own editor and storage have no part in the window: their steps are idle there (the
// window's editor is the program the test names).
constexpr std::array<std::pair<std::string_view, StepKind>, 16> kKinds{{
    {"move", StepKind::Move},
    {"press", StepKind::Press},
    {"release", StepKind::Release},
    {"click", StepKind::Click},
    {"dblclick", StepKind::DoubleClick},
    {"key", StepKind::Key},
    {"type", StepKind::Type},
    {"idle", StepKind::Idle},
    {"restart", StepKind::Restart},
    {"snapshot", StepKind::Snapshot},
    {"export", StepKind::Export},
    {"editor", StepKind::Idle},
    {"storage-fails", StepKind::Idle},
    {"study-line", StepKind::StudyLine},
    {"study-check", StepKind::StudyCheck},
    {"wheel", StepKind::Wheel},
}};

std::optional<StepKind> KindNamed(const QString& name) {
  for (const auto& [word, kind] : kKinds) {
    if (name == QLatin1String(word.data(), static_cast<qsizetype>(word.size()))) return kind;
  }
  return std::nullopt;
}

bool Pointed(StepKind kind) {
  return kind == StepKind::Move || kind == StepKind::Press || kind == StepKind::Release ||
         kind == StepKind::Click || kind == StepKind::DoubleClick || kind == StepKind::Wheel;
}

std::optional<Step> ReadStep(const QJsonObject& object) {
  const std::optional<StepKind> kind = KindNamed(object.value("do").toString());
  if (!kind) return std::nullopt;
  Step step;
  step.kind = *kind;
  if (Pointed(*kind)) {
    if (!object.value("x").isDouble() || !object.value("y").isDouble()) return std::nullopt;
    step.x = object.value("x").toInt();
    step.y = object.value("y").toInt();
    const QString button = object.value("button").toString("left");
    if (button != "left" && button != "right" && button != "middle") return std::nullopt;
    step.button = button == "right"    ? StepButton::Right
                  : button == "middle" ? StepButton::Middle
                                       : StepButton::Left;
    step.held = (object.value("shift").toBool() ? kStepShift : 0) |
                (object.value("ctrl").toBool() ? kStepCtrl : 0);
  }
  if (*kind == StepKind::Wheel) {
    if (!object.value("notches").isDouble()) return std::nullopt;
    step.notches = object.value("notches").toInt();
  }
  if (*kind == StepKind::StudyLine) {
    if (!object.value("line").isDouble()) return std::nullopt;
    step.line = object.value("line").toInt();
  }
  const char* textKey = *kind == StepKind::Key        ? "key"
                        : *kind == StepKind::Type     ? "text"
                        : *kind == StepKind::Snapshot ? "name"
                        : *kind == StepKind::Export   ? "name"
                                                      : nullptr;
  if (textKey != nullptr) {
    if (!object.value(textKey).isString()) return std::nullopt;
    step.text = object.value(textKey).toString().toStdString();
  }
  return step;
}

}  // namespace

StepList ParseSteps(std::string_view json) {
  QJsonParseError error{};
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
  if (error.error != QJsonParseError::NoError) return {{}, error.errorString().toStdString()};
  if (!document.isArray()) return {{}, "the steps are not a JSON array"};
  StepList list;
  const QJsonArray array = document.array();
  for (qsizetype index = 0; index < array.size(); ++index) {
    const std::optional<Step> step = ReadStep(array.at(index).toObject());
    if (!step) {
      list.problem = "step " + std::to_string(index + 1) + " cannot be read";
      return list;
    }
    list.steps.push_back(*step);
  }
  return list;
}

}  // namespace funzioni::web_reference
