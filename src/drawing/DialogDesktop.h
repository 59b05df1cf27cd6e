#pragma once

// The desktop dialog's own state, for the files that make up its Dialog: DialogServices.cpp
// (the window, its controls and its life), DialogInput.cpp (the pointer and the dialog's keys)
// and DialogLists.cpp (the text lists and the stock controls' fonts).

#include <QEventLoop>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "DialogControls.h"
#include "DialogCore.h"
#include "DialogServices.h"
#include "DialogWidgets.h"
#include "WindowCentring.h"

class QListWidget;

namespace funzioni {

namespace desktop {

// Forwards a watched object's events to a function; no meta-object needed.
class EventForwarder : public QObject {
 public:
  explicit EventForwarder(std::function<bool(QObject*, QEvent*)> forward)
      : forward_(std::move(forward)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override { return forward_(watched, event); }

 private:
  std::function<bool(QObject*, QEvent*)> forward_;
};

struct Control : detail::ControlRecord {
  QWidget* widget = nullptr;  // owned by the dialog window
};

}  // namespace desktop

struct Dialog::Impl final : detail::DialogCore {
  // The window may be maximised, but never made smaller than its client area, which keeps its
  // size and the controls their places.
  Impl(int width, int height)
      : window(std::make_unique<DialogWindow>(std::max(width, 1), std::max(height, 1))) {}

  std::unique_ptr<DialogWindow> window;
  WindowCentring centring;
  detail::ControlTable<desktop::Control> controls;
  std::map<const QWidget*, int> idOfWidget;
  std::map<int, std::unique_ptr<QTimer>> timers;
  std::unique_ptr<desktop::EventForwarder> windowFilter;
  std::unique_ptr<desktop::EventForwarder> keyFilter;
  QEventLoop* loop = nullptr;
  QPoint pointer{0, 0};
  bool pointerKnown = false;
  bool rightPressKeptFromList = false;
  Color text = 0x00000000;

  detail::ControlRecords& Controls() override { return controls; }
  const detail::ControlRecords& Controls() const override { return controls; }

  desktop::Control* Find(int id) { return controls.Find(id); }
  const desktop::Control* Find(int id) const { return controls.Find(id); }
  QListWidget* List(int id) const;

  // The control a widget belongs to (a list's viewport and scroll bar belong to the list).
  int IdOf(const QWidget* widget) const {
    for (const QWidget* w = widget; w != nullptr && w != window.get(); w = w->parentWidget()) {
      auto it = idOfWidget.find(w);
      if (it != idOfWidget.end()) return it->second;
    }
    return 0;
  }
  int ControlAt(QPoint clientPos) const { return IdOf(window->Client().childAt(clientPos)); }

  // The window's pointer input and the dialog's own keys (DialogInput.cpp).
  bool OnWindowEvent(QEvent* event);
  bool OnWheel(QEvent* event);
  bool OnKey(QObject* receiver, QEvent* event);
  bool Owns(const QObject* object) const;

  void Finish();
  void OnEnded() override;
};

}  // namespace funzioni
