// funzioni-glyph-atlas OUT.cpp: writes the glyph atlas of the browser build, drawn by the
// desktop's text renderer (offscreen unless a platform is set).

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "GlyphAtlasBuilder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.cpp\n", argv[0]);
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  try {
    const auto fonts = funzioni::ProgramSurfaceFonts();
    const auto contents = funzioni::BuildAtlasContents(fonts, funzioni::AtlasCharacters());
    const auto bytes = funzioni::EncodeGlyphAtlas(contents);
    const std::string note = std::to_string(contents.fonts.size()) + " fonts, " +
                             std::to_string(contents.codePoints.size()) + " characters, " +
                             std::to_string(bytes.size()) + " bytes.";
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << funzioni::AtlasSource(bytes, note);
    out.close();
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[1]);
    std::printf("%s\n", note.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "funzioni-glyph-atlas: %s\n", e.what());
    return 1;
  }
  return 0;
}
