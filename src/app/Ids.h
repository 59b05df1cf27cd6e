#pragma once

// Every timer and every command of the program's own, numbered here and nowhere else. Both lie
// outside the controls' range (drawing/ControlIds.h), so that a command can never be taken for
// a control's notification, nor a timer for a control; the window system's own commands (Enter,
// Esc, the keypad's + and -, in drawing/DialogServices.h) keep their numbers, and none of ours
// repeats them.

#include <algorithm>
#include <array>

#include "drawing/ControlIds.h"
#include "drawing/DialogServices.h"

namespace funzioni {

// Timers, each of one part of the window.
inline constexpr int kTickTimerId = 10003;           // the clock and the ticker
inline constexpr int kRedrawTimerId = 10004;         // a finished picture to show
inline constexpr int kBusyPointerTimerId = 10005;    // the busy pointer after a delay
inline constexpr int kHistoryTimerId = 10006;        // the history list filled in steps
inline constexpr int kStudyTimerId = 10007;          // the study's result to show
inline constexpr int kParameterPlayTimerId = 10009;  // the played parameter's next step

// Commands: keys, menu items and the study window's reports.
inline constexpr int kCommandSavePicture = 12400;  // Ctrl+S
inline constexpr int kCommandCopyPicture = 12401;  // Ctrl+Shift+C
inline constexpr int kCommandPrint = 12402;        // Ctrl+P
inline constexpr int kCommandCopyTable = 12403;    // Ctrl+C while the results table has the focus
inline constexpr int kCommandSaveTable = 12404;    // the results table's menu only
inline constexpr int kCommandStudy = 12410;  // F2, and the menus of the formula box and the table
inline constexpr int kCommandStudyChosen = 12411;
inline constexpr int kCommandStudySlopes = 12412;
inline constexpr int kCommandStudyCopy = 12413;
inline constexpr int kCommandStudyClosed = 12414;
inline constexpr int kCommandStudyAsk = 12415;       // Enter in a field; code: the field's index
inline constexpr int kCommandStudyButton = 12416;    // a button; code: its index (StudyButton)
inline constexpr int kCommandParameterMenu = 12420;  // F3
inline constexpr int kCommandLanguageBase = 12430;   // 12430..12432: Italian, German, Slovene
// The formula box's menu copies the current state's worksheet link; the formula box's menu and
// F4 open the menu of the exam examples (also the last entry of a history line's menu).
inline constexpr int kCommandCopySheet = 12440;
inline constexpr int kCommandExamples = 12441;
// Shift+F10 while the history list has the focus: the chosen line's menu, as Shift with the
// right button opens it.
inline constexpr int kCommandHistoryLineMenu = 12442;

namespace ids_detail {

inline constexpr std::array kTimers{kTickTimerId,    kRedrawTimerId, kBusyPointerTimerId,
                                    kHistoryTimerId, kStudyTimerId,  kParameterPlayTimerId};
inline constexpr std::array kCommands{
    kCommandSavePicture,      kCommandCopyPicture,  kCommandPrint,
    kCommandCopyTable,        kCommandSaveTable,    kCommandStudy,
    kCommandStudyChosen,      kCommandStudySlopes,  kCommandStudyCopy,
    kCommandStudyClosed,      kCommandStudyAsk,     kCommandStudyButton,
    kCommandParameterMenu,    kCommandLanguageBase, kCommandLanguageBase + 1,
    kCommandLanguageBase + 2, kCommandCopySheet,    kCommandExamples,
    kCommandHistoryLineMenu};
inline constexpr std::array kWindowCommands{kCommandOk, kCommandCancel, kCommandKeypadPlus,
                                            kCommandKeypadMinus};

template <typename List>
constexpr bool OutsideControls(const List& ids) {
  return std::none_of(ids.begin(), ids.end(), [](int id) { return IsControlId(id); });
}

template <typename List>
constexpr bool AllDifferent(const List& ids) {
  for (std::size_t i = 0; i < ids.size(); ++i) {
    for (std::size_t j = i + 1; j < ids.size(); ++j) {
      if (ids[i] == ids[j]) return false;
    }
  }
  return true;
}

}  // namespace ids_detail

static_assert(ids_detail::OutsideControls(ids_detail::kTimers), "a timer in the control range");
static_assert(ids_detail::OutsideControls(ids_detail::kCommands), "a command in the control range");
static_assert(ids_detail::AllDifferent(ids_detail::kTimers), "two timers share an id");
static_assert(ids_detail::AllDifferent(ids_detail::kCommands), "two commands share an id");
static_assert(std::none_of(ids_detail::kCommands.begin(), ids_detail::kCommands.end(),
                           [](int id) {
                             return std::find(ids_detail::kWindowCommands.begin(),
                                              ids_detail::kWindowCommands.end(),
                                              id) != ids_detail::kWindowCommands.end();
                           }),
              "a command of ours has a window command's number");

}  // namespace funzioni
