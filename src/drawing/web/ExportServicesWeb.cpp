// Pictures and text leaving the page: saving is a download of the browser, the clipboard is the
// browser's (export.js). The popup menu is the page's own (ControlMenusWeb.cpp).

#include <emscripten.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "CanvasPixels.h"
#include "PageBridge.h"
#include "drawing/DrawingSurface.h"
#include "drawing/ExportServices.h"

// clang-format off
EM_JS(void, funzioni_js_download_picture, (const void* rgba, int w, int h, const char* name), {
  FunzioniPage.downloadPicture(rgba, w, h, UTF8ToString(name));
});
EM_JS(void, funzioni_js_download_bytes, (const void* bytes, int size, const char* name), {
  FunzioniPage.downloadBytes(bytes, size, UTF8ToString(name));
});
EM_JS(void, funzioni_js_copy_picture, (const void* rgba, int w, int h), {
  FunzioniExport.copyPicture(rgba, w, h);
});
EM_JS(void, funzioni_js_copy_text, (const char* text), {
  FunzioniExport.copyText(UTF8ToString(text));
});
EM_JS(int, funzioni_js_decimal_comma, (), {
  return (1.5).toLocaleString(navigator.language).indexOf(",") >= 0 ? 1 : 0;
});
// clang-format on

namespace funzioni {

namespace {

std::string FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

// The browser asks where a download goes (or puts it in its downloads folder): the suggested
// name is the answer.
std::optional<std::string> AskSaveFileName(Dialog& /*owner*/, const SaveFileRequest& request) {
  std::string path = request.suggestedPath;
  const std::string name = FileName(path);
  if (!request.extension.empty() && name.find('.') == std::string::npos) {
    path += "." + request.extension;
  }
  return path;
}

bool SavePicturePng(const DrawingSurface& picture, std::string_view path) {
  const PixelSize size = picture.GetSurfaceSize();
  if (size.width <= 0 || size.height <= 0) return false;
  const std::vector<std::uint32_t> pixels = web::CanvasPixels(picture);
  funzioni_js_download_picture(pixels.data(), size.width, size.height, FileName(path).c_str());
  return true;
}

bool SaveFileBytes(std::string_view bytes, std::string_view path) {
  funzioni_js_download_bytes(bytes.data(), static_cast<int>(bytes.size()), FileName(path).c_str());
  return true;
}

void CopyPictureToClipboard(const DrawingSurface& picture, std::function<void()> refused) {
  const PixelSize size = picture.GetSurfaceSize();
  if (size.width <= 0 || size.height <= 0) return;
  web::ThePage().pictureCopy = {std::move(refused), web::ShownDialog()};
  const std::vector<std::uint32_t> pixels = web::CanvasPixels(picture);
  funzioni_js_copy_picture(pixels.data(), size.width, size.height);
}

void CopyTextToClipboard(std::string_view text) {
  funzioni_js_copy_text(std::string(text).c_str());
}

std::string PicturesFolder() {
  return ".";
}

std::string DocumentsFolder() {
  return ".";
}

std::string DesktopDecimalSeparator() {
  return funzioni_js_decimal_comma() != 0 ? "," : ".";
}

}  // namespace funzioni

extern "C" {

// The browser refused the picture last copied (no image on its clipboard, or not allowed).
EMSCRIPTEN_KEEPALIVE void funzioni_page_picture_refused() {
  funzioni::web::PageContext& page = funzioni::web::ThePage();
  const funzioni::web::LaterAnswer<> copy = std::exchange(page.pictureCopy, {});
  const funzioni::web::PageInput* dialog = page.shown;
  if (!copy.answer || dialog == nullptr || dialog != copy.dialog) return;
  if ((dialog->PageState() & 4) != 0) return;
  copy.answer();
}

}  // extern "C"
