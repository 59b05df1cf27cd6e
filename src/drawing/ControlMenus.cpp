#include "ControlMenus.h"

#include <QString>

#include "DialogServices.h"
#include "DialogWidgets.h"

namespace funzioni {

void AddTextBoxMenuItem(Dialog& dialog, int boxId, std::string_view text, int commandId) {
  auto* box = dynamic_cast<LineBox*>(dialog.ControlWidget(boxId));
  if (box == nullptr) return;
  Dialog* owner = &dialog;
  box->AddMenuItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                   [owner, commandId] { owner->SendCommand(commandId); });
}

}  // namespace funzioni
