#include "ExportServices.h"

#include <QClipboard>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QMenu>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstring>

#include "DialogServices.h"
#include "DialogWidgets.h"
#include "DrawingSurface.h"
#include "TextDecoding.h"

namespace funzioni {

namespace {

// A copy of the surface's pixels (0xFFRRGGBB, top row first).
QImage PictureImage(const DrawingSurface& picture) {
  const PixelSize size = picture.GetSurfaceSize();
  QImage image(std::max(size.width, 0), std::max(size.height, 0), QImage::Format_RGB32);
  if (!image.isNull()) {
    std::memcpy(image.bits(), picture.ScreenPixels(),
                static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 4);
  }
  return image;
}

// Written to a temporary file beside the target and renamed over it only when complete.
template <typename Write>
bool SaveWhole(std::string_view path, Write write) {
  QSaveFile file(DecodeText(path));
  if (!file.open(QIODevice::WriteOnly)) return false;
  // Without a commit the temporary file is dropped and the target left as it was.
  return write(file) && file.commit();
}

std::string FolderOr(QStandardPaths::StandardLocation location) {
  QString folder = QStandardPaths::writableLocation(location);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
  }
  return folder.toStdString();
}

}  // namespace

std::optional<std::string> AskSaveFileName(Dialog& owner, const SaveFileRequest& request) {
  QFileDialog dialog(owner.Widget(), DecodeText(request.title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QString extension = DecodeText(request.extension);
  dialog.setNameFilter(DecodeText(request.typeLabel) + " (*." + extension + ")");
  // The dialog adds a missing extension itself, before it asks about replacing a file.
  dialog.setDefaultSuffix(extension);
  const QFileInfo suggested(DecodeText(request.suggestedPath));
  dialog.setDirectory(suggested.absolutePath());
  dialog.selectFile(suggested.fileName());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  QString path = chosen.front();
  // A desktop dialog may hand back the name as typed.
  if (QFileInfo(path).suffix().isEmpty()) path += "." + extension;
  return path.toStdString();
}

bool SavePicturePng(const DrawingSurface& picture, std::string_view path) {
  const QImage image = PictureImage(picture);
  if (image.isNull()) return false;
  return SaveWhole(path, [&image](QSaveFile& file) { return image.save(&file, "PNG"); });
}

bool SaveFileBytes(std::string_view bytes, std::string_view path) {
  return SaveWhole(path, [bytes](QSaveFile& file) {
    return file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
  });
}

void CopyPictureToClipboard(const DrawingSurface& picture, std::function<void()> refused) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) {
    if (refused) refused();
    return;
  }
  clipboard->setImage(PictureImage(picture));
}

void CopyTextToClipboard(std::string_view text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(DecodeText(text));
}

void ShowPopupMenu(Dialog& owner, const std::vector<MenuItem>& items,
                   std::function<void(int index)> chosen) {
  QMenu menu(owner.Widget());
  for (const MenuItem& item : items) {
    menu.addAction(DecodeText(item.text))->setEnabled(item.enabled);
  }
  const PixelPoint pointer = owner.GetPointerPosition();
  auto* window = static_cast<DialogWindow*>(owner.Widget());
  const QAction* picked = menu.exec(window->Client().mapToGlobal(QPoint(pointer.x, pointer.y)));
  const int index = picked == nullptr ? -1 : static_cast<int>(menu.actions().indexOf(picked));
  if (index >= 0 && chosen) chosen(index);
}

std::string PicturesFolder() {
  return FolderOr(QStandardPaths::PicturesLocation);
}

std::string DocumentsFolder() {
  return FolderOr(QStandardPaths::DocumentsLocation);
}

std::string DesktopDecimalSeparator() {
  // The default locale is the desktop's unless the program chose another (tests do).
  return QLocale().decimalPoint().toStdString();
}

}  // namespace funzioni
