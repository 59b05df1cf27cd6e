// The desktop dialog's text lists (their lines, the one selected) and the fonts of its stock
// controls.

#include <QFontMetrics>
#include <QListWidget>
#include <memory>

#include "DialogDesktop.h"
#include "TextDecoding.h"
#include "TextRenderer.h"

namespace funzioni {

QListWidget* Dialog::Impl::List(int id) const {
  const desktop::Control* c = controls.Find(id, ControlKind::TextList);
  return c != nullptr ? static_cast<QListWidget*>(c->widget) : nullptr;
}

void Dialog::ListReset(int id) {
  if (QListWidget* list = impl_->List(id)) list->clear();
}

namespace {

// A line far wider than the list is shown by its beginning only: the list cuts it at its width
// all the same, and laying out the whole of a long line on every repaint would take seconds. The
// whole line is kept for reading it back.
constexpr qsizetype kShownPrefix = 2048;
constexpr int kShownWidthFactor = 8;
constexpr int kWholeLineRole = Qt::UserRole + 1;

void AddListLine(QListWidget& list, const QString& line) {
  if (line.size() <= kShownPrefix) {
    list.addItem(line);
    return;
  }
  qsizetype cut = kShownPrefix;
  if (line[cut - 1].isHighSurrogate()) --cut;
  const QString shown = line.left(cut);
  if (list.fontMetrics().horizontalAdvance(shown) <= kShownWidthFactor * list.width()) {
    list.addItem(line);
    return;
  }
  auto item = std::make_unique<QListWidgetItem>(shown);
  item->setData(kWholeLineRole, line);
  list.addItem(item.release());  // the list owns its items
}

std::string WholeListLine(const QListWidgetItem& item) {
  const QVariant whole = item.data(kWholeLineRole);
  return (whole.isValid() ? whole.toString() : item.text()).toStdString();
}

}  // namespace

void Dialog::ListAdd(int id, std::string_view text) {
  if (QListWidget* list = impl_->List(id)) AddListLine(*list, DecodeText(text));
}

void Dialog::ListSelect(int id, int lineFromOne) {
  QListWidget* list = impl_->List(id);
  if (list == nullptr) return;
  if (lineFromOne < 1 || lineFromOne > list->count()) {
    list->clearSelection();
    list->setCurrentRow(-1);
    return;
  }
  list->setCurrentRow(lineFromOne - 1, QItemSelectionModel::ClearAndSelect);
  list->scrollToItem(list->item(lineFromOne - 1));
}

std::string Dialog::ListGetSelected(int id) const {
  QListWidget* list = impl_->List(id);
  if (list == nullptr) return {};
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? std::string() : WholeListLine(*selected.front());
}

int Dialog::ListCount(int id) const {
  QListWidget* list = impl_->List(id);
  return list == nullptr ? 0 : list->count();
}

std::string Dialog::ListLine(int id, int lineFromOne) const {
  QListWidget* list = impl_->List(id);
  if (list == nullptr || lineFromOne < 1 || lineFromOne > list->count()) return {};
  return WholeListLine(*list->item(lineFromOne - 1));
}

void Dialog::SetControlFont(int id, std::string_view faceName, int heightPixels,
                            std::string_view styleWord) {
  desktop::Control* control = impl_->Find(id);
  if (control == nullptr || control->kind == ControlKind::Surface) return;
  QFont font(QString::fromStdString(TextRenderer::ResolveFamily(faceName)));
  font.setWeight(detail::IsBoldStyle(styleWord) ? QFont::Bold : QFont::Normal);
  font.setHintingPreference(QFont::PreferFullHinting);
  if (heightPixels < 0) {
    font.setPixelSize(-heightPixels);
  } else if (heightPixels > 0) {
    // A positive height is the whole character cell: the largest font whose cell fits.
    int pixels = heightPixels;
    for (; pixels > 1; --pixels) {
      font.setPixelSize(pixels);
      if (QFontMetrics(font).height() <= heightPixels) break;
    }
    font.setPixelSize(pixels);
  }
  control->widget->setFont(font);
}

}  // namespace funzioni
