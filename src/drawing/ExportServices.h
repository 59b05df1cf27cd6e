#pragma once

// What lets pictures and text leave the window: the desktop's save dialog, files written whole
// or not at all, the clipboard, a popup menu, the desktop's folders and its number format.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace funzioni {

class Dialog;
class DrawingSurface;

// The save dialog's question: a window title, the suggested file (folder and name), the one file
// type offered ("Immagine PNG (*.png)") and its extension without the dot.
struct SaveFileRequest {
  std::string title;
  std::string suggestedPath;
  std::string typeLabel;
  std::string extension;
};

// Asks for a file to write, over the dialog. The extension is added when the name has none; a
// file that exists is only given back once the user confirmed its replacement. Nothing when the
// user cancelled.
std::optional<std::string> AskSaveFileName(Dialog& owner, const SaveFileRequest& request);

// The surface's picture, exactly its pixels, as a PNG file. The file is replaced only once the
// whole picture is written: a failure (read-only folder, full disk) leaves any old file as it
// was. False on failure.
bool SavePicturePng(const DrawingSurface& picture, std::string_view path);
// The same for bytes (text already encoded).
bool SaveFileBytes(std::string_view bytes, std::string_view path);

// The clipboard: the picture as an image, or UTF-8 text. `refused` is called, maybe only later,
// when the clipboard would not take the picture (a browser may keep images from it).
void CopyPictureToClipboard(const DrawingSurface& picture, std::function<void()> refused);
void CopyTextToClipboard(std::string_view text);

// One entry of a popup menu.
struct MenuItem {
  std::string text;
  bool enabled = true;
};
// Shows a popup menu at the pointer over the dialog; `chosen` gets the index of the item chosen,
// and is not called when the menu is closed without one. The desktop's menu waits for the choice
// and calls it before returning; a page cannot wait, and calls it later, from the page's input.
void ShowPopupMenu(Dialog& owner, const std::vector<MenuItem>& items,
                   std::function<void(int index)> chosen);

// The desktop's pictures and documents folders (the home folder when they are unknown).
std::string PicturesFolder();
std::string DocumentsFolder();

// The decimal separator of the desktop's number format ("," for Italian, "." for C/English).
std::string DesktopDecimalSeparator();

}  // namespace funzioni
