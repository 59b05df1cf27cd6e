// Pictures and text leaving the page: saving is a download of the browser, the clipboard is the
// browser's. A popup menu cannot wait for a choice in a page: it closes at once.

#include <emscripten.h>

#include <string>
#include <vector>

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
  FunzioniPage.copyPicture(rgba, w, h);
});
EM_JS(void, funzioni_js_copy_text, (const char* text), {
  FunzioniPage.copyText(UTF8ToString(text));
});
EM_JS(int, funzioni_js_decimal_comma, (), {
  return (1.5).toLocaleString(navigator.language).indexOf(",") >= 0 ? 1 : 0;
});
// clang-format on

namespace funzioni {

namespace {

// The picture as the canvas's R, G, B, A bytes.
std::vector<std::uint32_t> CanvasPixels(const DrawingSurface& picture) {
  const PixelSize size = picture.GetSurfaceSize();
  const std::uint32_t* pixels = picture.ScreenPixels();
  std::vector<std::uint32_t> out(static_cast<std::size_t>(size.width) *
                                 static_cast<std::size_t>(size.height));
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::uint32_t argb = pixels[i];
    out[i] = (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFFu) | ((argb & 0xFFu) << 16);
  }
  return out;
}

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
  const std::vector<std::uint32_t> pixels = CanvasPixels(picture);
  funzioni_js_download_picture(pixels.data(), size.width, size.height, FileName(path).c_str());
  return true;
}

bool SaveFileBytes(std::string_view bytes, std::string_view path) {
  funzioni_js_download_bytes(bytes.data(), static_cast<int>(bytes.size()), FileName(path).c_str());
  return true;
}

void CopyPictureToClipboard(const DrawingSurface& picture) {
  const PixelSize size = picture.GetSurfaceSize();
  if (size.width <= 0 || size.height <= 0) return;
  const std::vector<std::uint32_t> pixels = CanvasPixels(picture);
  funzioni_js_copy_picture(pixels.data(), size.width, size.height);
}

void CopyTextToClipboard(std::string_view text) {
  funzioni_js_copy_text(std::string(text).c_str());
}

int ShowPopupMenu(Dialog& /*owner*/, const std::vector<MenuItem>& /*items*/) {
  return -1;
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
