// Saving and copying the picture, copying and saving the results table, and printing, through the
// real window with the file and print dialogs answered by the test.

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <set>
#include <sstream>

#include <unistd.h>

#include "ShellFixture.h"
#include "app/FormulaParameterValues.h"
#include "app/ParameterPlayer.h"
#include "drawing/ExportServices.h"
#include "drawing/PrintServices.h"
#include "plot/FamilyCurves.h"
#include "plot/KeptCurves.h"
#include "support/Unwritable.h"

namespace funzioni::testing {
namespace {

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The plotting area's picture, pixel for pixel, compared with an image.
::testing::AssertionResult SameAsPlot(const DrawingSurface& plot, const QImage& image) {
  if (image.size() != QSize(600, 600)) {
    return ::testing::AssertionFailure() << "image of " << image.width() << " x " << image.height();
  }
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 600; ++x) {
      const QRgb rgb = image.pixel(x, y);
      const Color color = qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16);
      if (color != plot.PixelAt(x, y)) {
        return ::testing::AssertionFailure() << "pixel " << x << ", " << y << " differs";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

class ShellExport : public ShellFixture {
 protected:
  void TearDown() override {
    QLocale::setDefault(QLocale::system());
    ShellFixture::TearDown();
  }

  // The save dialog answers with this file; every question it was asked is kept.
  void AnswerSaveWith(std::optional<std::filesystem::path> path) {
    window().exportPrompts().askSaveFileName = [this, path](const SaveFileRequest& request) {
      asked_.push_back(request);
      return path ? std::optional<std::string>(path->string()) : std::nullopt;
    };
  }

  // The next popup menu gets this item chosen (with the keyboard, as a user could) once it shows.
  void ChooseInNextMenu(std::string text) {
    auto* poll = new QTimer(QCoreApplication::instance());
    menuAnswered_ = false;
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll, text] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      menuAnswered_ = true;
      poll->deleteLater();
      poll->stop();
      for (QAction* action : menu->actions()) {
        if (action->text().toStdString() == text) menu->setActiveAction(action);
      }
      QTest::keyClick(menu, menu->activeAction() != nullptr ? Qt::Key_Return : Qt::Key_Escape);
    });
    poll->start(5);
  }

  void RightClickTable(std::string item) {
    ChooseInNextMenu(std::move(item));
    Click(Qt::RightButton, CentreOf(kResultsListId));
    // The menu's own loop ends with the key; the item's work runs once it has.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return menuAnswered_ && QApplication::activePopupWidget() == nullptr; }, 5000));
    Settle(0);
  }

  static std::string Clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }

  std::vector<SaveFileRequest> asked_;
  bool menuAnswered_ = false;
};

TEST_F(ShellExport, CtrlSSavesAndCtrlShiftCCopiesThePictureAsShown) {
  MainWindow& shell = Start();
  Move(CentreOf(kZoomMeterId));
  Key(Qt::Key_Plus, Qt::KeypadModifier);
  Key(Qt::Key_Plus, Qt::KeypadModifier);
  ASSERT_EQ(shell.state().zoomValue.value, 52.0f);
  Type("SIN(x)*x");
  Key(Qt::Key_Return);
  const std::string help = shell.helpText();
  const std::filesystem::path target = directory_ / "out" / "grafico.png";
  std::filesystem::create_directories(target.parent_path());
  AnswerSaveWith(target);

  Key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].suggestedPath,
            (std::filesystem::path(PicturesFolder()) / "grafico.png").string());
  EXPECT_EQ(asked_[0].extension, "png");
  const DrawingSurface& plot = *dialog().FindSurface(kPlotAreaId);
  EXPECT_TRUE(SameAsPlot(plot, QImage(QString::fromStdString(target.string()), "PNG")));
  EXPECT_EQ(shell.helpText(), help);

  // The next save starts in the folder used last; a cancelled dialog writes nothing.
  AnswerSaveWith(std::nullopt);
  Key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(asked_.size(), 2u);
  EXPECT_EQ(asked_[1].suggestedPath, target.string());

  QGuiApplication::clipboard()->clear();
  Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(SameAsPlot(plot, QGuiApplication::clipboard()->image()));
  EXPECT_EQ(dialog().GetControlText(kFormulaBoxId), "SIN(x)*x");
}

TEST_F(ShellExport, AFileThatCannotBeWrittenIsReportedAndChangesNothingElse) {
  MainWindow& shell = Start();
  Type("x^2");
  Key(Qt::Key_Return);
  std::filesystem::create_directories(directory_ / "locked");
  const test::Unwritable locked(directory_ / "locked", 0555, 0755);
  if (!locked.ok()) GTEST_SKIP() << "cannot make a folder read-only here";
  const std::string pixels = SurfacePixels(kPlotAreaId);
  for (const std::string name : {"grafico.png", "tabella.csv"}) {
    const std::filesystem::path target = directory_ / "locked" / name;
    AnswerSaveWith(target);
    if (name == std::string("grafico.png")) {
      Key(Qt::Key_S, Qt::ControlModifier);
    } else {
      RightClickTable("Salva tabella...");
    }
    EXPECT_EQ(shell.helpText(), FileNotSavedNote(target.string())) << name;
    EXPECT_FALSE(std::filesystem::exists(target)) << name;
    EXPECT_TRUE(std::filesystem::is_empty(target.parent_path())) << name;
  }
  EXPECT_EQ(SurfacePixels(kPlotAreaId), pixels);
  // The failed folder is not remembered for the next save.
  AnswerSaveWith(std::nullopt);
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(asked_.back().suggestedPath,
            (std::filesystem::path(PicturesFolder()) / "grafico.png").string());
}

// The table in a locale: what the clipboard and the CSV file hold for a built-in function with
// a row of no finite value, and for a formula whose negative samples have no value.
struct TableCase {
  const char* name;
  QLocale locale;
  std::string builtinText;
  std::string builtinCsv;
  std::string formulaText;
};

void PrintTo(const TableCase& c, std::ostream* out) {
  *out << c.name;
}

class ShellTableExport : public ShellExport, public ::testing::WithParamInterface<TableCase> {};

TEST_P(ShellTableExport, CopiedAndSavedInTheDesktopNumberFormat) {
  const TableCase& c = GetParam();
  QLocale::setDefault(c.locale);
  MainWindow& shell = Start();
  // An empty table offers nothing to copy or save.
  RightClickTable("Copia tabella");
  QGuiApplication::clipboard()->setText("untouched");
  EXPECT_EQ(Clipboard(), "untouched");

  shell.state().zoomValue.value = 1;
  shell.state().paramC[4].value = 1;
  shell.state().paramD[4].value = 0;  // (x + 1) / x: no finite value at 0
  Click(Qt::RightButton, CentreOf(kSwitchBaseId + 4));
  RightClickTable("Copia tabella");
  EXPECT_EQ(Clipboard(), c.builtinText);

  QGuiApplication::clipboard()->clear();
  dialog().SetControlFocus(kResultsListId);
  Settle();
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Clipboard(), c.builtinText);

  const std::filesystem::path csv = directory_ / "tabella.csv";
  AnswerSaveWith(csv);
  RightClickTable("Salva tabella...");
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].extension, "csv");
  EXPECT_EQ(FileBytes(csv), c.builtinCsv);

  dialog().SetControlFocus(kFormulaBoxId);
  Type("SQR(x)");
  Key(Qt::Key_Return);
  RightClickTable("Copia tabella");
  EXPECT_EQ(Clipboard(), c.formulaText);

  // Ctrl+C in the formula box copies the box's text, not the table.
  Key(Qt::Key_A, Qt::ControlModifier);
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Clipboard(), "SQR(x)");
}

INSTANTIATE_TEST_SUITE_P(
    Locales, ShellTableExport,
    ::testing::Values(
        TableCase{"Italian", QLocale(QLocale::Italian, QLocale::Italy),
                  "(a.x+b):(c.x+d)\n-0,2\t-4,0\n-0,1\t-9,0\n0\tinf\n0,1\t11,0\n0,2\t6,0\n",
                  "(a.x+b):(c.x+d)\r\n-0,2;-4,0\r\n-0,1;-9,0\r\n0;inf\r\n0,1;11,0\r\n0,2;6,0\r\n",
                  "SQR(x)\n0\t0\n0,1\t0,3\n0,2\t0,4\n"},
        TableCase{"C", QLocale::c(),
                  "(a.x+b):(c.x+d)\n-0.2\t-4.0\n-0.1\t-9.0\n0\tinf\n0.1\t11.0\n0.2\t6.0\n",
                  "(a.x+b):(c.x+d)\r\n-0.2,-4.0\r\n-0.1,-9.0\r\n0,inf\r\n0.1,11.0\r\n0.2,6.0\r\n",
                  "SQR(x)\n0\t0\n0.1\t0.3\n0.2\t0.4\n"}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

// The printed page as a PDF, rendered back at the resolution it was laid out at.
TEST_F(ShellExport, PrintsOnePageWithASharpPictureAndTheValues) {
  if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) {
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  }
  MainWindow& shell = Start();
  Type("SIN(x)*x");
  Key(Qt::Key_Return);
  const std::filesystem::path pdf = directory_ / "pagina.pdf";
  std::vector<PrintLine> printed;
  window().exportPrompts().print = [&](const PrintPage& page) {
    printed = page.lines;
    return PrintToPdf(page, pdf.string()) ? PrintResult::Printed : PrintResult::Failed;
  };
  const std::string help = shell.helpText();
  Key(Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(shell.helpText(), help);

  std::vector<std::string> texts;
  for (const PrintLine& line : printed) texts.push_back(line.text);
  EXPECT_EQ(texts,
            (std::vector<std::string>{"f(x) = SIN(x)*x", "y = a.x^2+b      a = 1.0   b = 1.0",
                                      "zoom 10.0 (x e y da -10.0 a 10.0)      passo 50"}));

  QProcess info;
  info.start("pdfinfo", {QString::fromStdString(pdf.string())});
  ASSERT_TRUE(info.waitForFinished(20000));
  EXPECT_TRUE(info.readAllStandardOutput().contains("Pages:           1"));

  // A4 at 600 dpi: the picture, 5 dots per pixel, lies centred under the top margin; only the
  // region around it is rendered.
  const std::filesystem::path ppm = directory_ / "pagina";
  QProcess render;
  render.start("pdftoppm",
               {"-r", "600", "-singlefile", "-x", "900", "-y", "300", "-W", "3200", "-H", "3120",
                QString::fromStdString(pdf.string()), QString::fromStdString(ppm.string())});
  ASSERT_TRUE(render.waitForFinished(60000));
  const QImage page =
      QImage(QString::fromStdString(ppm.string() + ".ppm")).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(page.isNull());
  const auto at = [&page](int x, int y) {
    return reinterpret_cast<const QRgb*>(page.constScanLine(y))[x] | 0xFF000000;
  };
  // The picture is where the paper is not white.
  QPoint first(page.width(), page.height());
  QPoint last(-1, -1);
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (at(x, y) == 0xFFFFFFFF) continue;
      first = QPoint(std::min(first.x(), x), std::min(first.y(), y));
      last = QPoint(std::max(last.x(), x), std::max(last.y(), y));
    }
  }
  const QRect picture(first, last);
  const DrawingSurface& plot = *dialog().FindSurface(kPlotAreaId);
  std::set<QRgb> colours;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 600; ++x) {
      const Color c = plot.PixelAt(x, y);
      colours.insert(qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
  }
  EXPECT_NEAR(picture.width(), 3000, 2);
  EXPECT_NEAR(picture.height(), 3000, 2);
  // Inside its outermost pixels every pixel is a colour of the picture: nothing blended.
  int blended = 0;
  std::set<QRgb> seen;
  const QRect inner = picture.adjusted(1, 1, -1, -1);
  for (int y = inner.top(); y <= inner.bottom(); ++y) {
    for (int x = inner.left(); x <= inner.right(); ++x) {
      const QRgb rgb = at(x, y);
      seen.insert(rgb);
      blended += colours.count(rgb) == 0 ? 1 : 0;
    }
  }
  EXPECT_EQ(blended, 0);
  EXPECT_EQ(seen.count(qRgb(255, 255, 0)), 1u);    // the formula
  EXPECT_EQ(seen.count(qRgb(128, 128, 128)), 1u);  // the parabola
}

// A kept formula and a family: the lines under the picture name each in its colour, and the
// picture on paper holds their curves in their own colours beside the key.
TEST_F(ShellExport, PrintsKeptFormulasAndTheFamilyInTheirColours) {
  if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) {
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  }
  MainWindow& shell = Start();
  shell.state().keptFormulas = {"k*x"};
  Type("x^2+k");
  Key(Qt::Key_Return);
  ParameterChoice family;
  family.kind = ParameterChoice::Kind::Family;
  family.curves = 3;
  shell.parameterPlayer().Choose(FormulaMeterId(*FormulaParameterIndex('k')), family);
  const std::filesystem::path pdf = directory_ / "famiglia.pdf";
  std::vector<PrintLine> printed;
  window().exportPrompts().print = [&](const PrintPage& page) {
    printed = page.lines;
    return PrintToPdf(page, pdf.string()) ? PrintResult::Printed : PrintResult::Failed;
  };
  Key(Qt::Key_P, Qt::ControlModifier);

  ASSERT_EQ(printed.size(), 5u);
  EXPECT_EQ(printed[0].text, "f(x) = x^2+ 1");
  EXPECT_EQ(printed[2].text, "y = 1*x");
  EXPECT_EQ(printed[2].swatch, KeptCurveColor(0));
  EXPECT_EQ(printed[3].text, "Famiglia di k: 3 curve da -10 a 10.");
  EXPECT_EQ(printed[3].swatch, FamilyCurveColor(1, 3));

  QProcess render;
  const std::filesystem::path ppm = directory_ / "famiglia";
  render.start("pdftoppm",
               {"-r", "600", "-singlefile", "-x", "900", "-y", "300", "-W", "3200", "-H", "3120",
                QString::fromStdString(pdf.string()), QString::fromStdString(ppm.string())});
  ASSERT_TRUE(render.waitForFinished(60000));
  const QImage page =
      QImage(QString::fromStdString(ppm.string() + ".ppm")).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(page.isNull());
  std::set<QRgb> seen;
  for (int y = 0; y < page.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
    for (int x = 0; x < page.width(); ++x) seen.insert(line[x] | 0xFF000000);
  }
  const auto rgb = [](Color c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); };
  EXPECT_EQ(seen.count(rgb(KeptCurveColor(0))), 1u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(seen.count(rgb(FamilyCurveColor(i, 3))), 1u) << i;
}

}  // namespace
}  // namespace funzioni::testing
