// The save dialog answered as a user would: the extension it adds and its question before a file
// is replaced.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include <unistd.h>

#include "drawing/DialogServices.h"
#include "drawing/ExportServices.h"

namespace funzioni {
namespace {

// Each step waits for a modal window of its kind and acts on it.
using Step = std::function<void(QWidget*)>;

template <typename Window>
Step On(std::function<void(Window*)> act) {
  return [act](QWidget* widget) { act(static_cast<Window*>(widget)); };
}

void AnswerModalWindows(std::vector<std::pair<const char*, Step>> steps) {
  auto* poll = new QTimer(QCoreApplication::instance());
  auto remaining = std::make_shared<std::vector<std::pair<const char*, Step>>>(std::move(steps));
  QObject::connect(poll, &QTimer::timeout, poll, [poll, remaining] {
    QWidget* modal = QApplication::activeModalWidget();
    if (remaining->empty()) {
      poll->stop();
      poll->deleteLater();
      return;
    }
    if (modal == nullptr || !modal->inherits(remaining->front().first)) return;
    const Step step = remaining->front().second;
    remaining->erase(remaining->begin());
    step(modal);
  });
  poll->start(10);
}

// Types the name into the dialog's name box, as a user would (selectFile leaves the box alone
// once it has the focus), then accepts later, from the event loop: accepting may open a question
// of its own.
void ChooseAndAccept(QFileDialog* dialog, const char* name) {
  auto* box = dialog->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(box, nullptr);
  box->setText(name);
  QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
}

void ClickButton(QMessageBox* box, QMessageBox::StandardButton which) {
  box->button(which)->click();
}

class SaveDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("funzioni-save-dialog-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "vecchio.png") << "old";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::optional<std::string> Ask() {
    return AskSaveFileName(dialog_,
                           {"Salva", (folder_ / "grafico.png").string(), "Immagine PNG", "png"});
  }

  std::filesystem::path folder_;
  Dialog dialog_{"Prova", 0, 0, 200, 100, true};
};

TEST_F(SaveDialog, ANameWithoutExtensionGetsIt) {
  AnswerModalWindows(
      {{"QFileDialog", On<QFileDialog>([](QFileDialog* d) {
          EXPECT_EQ(d->selectedFiles().value(0).toStdString(),
                    (std::filesystem::path(d->directory().path().toStdString()) / "grafico.png")
                        .string());
          ChooseAndAccept(d, "disegno");
        })}});
  EXPECT_EQ(Ask(), (folder_ / "disegno.png").string());
}

TEST_F(SaveDialog, AnExistingFileIsOnlyGivenBackOnceTheUserAgreed) {
  const auto choose = [](const char* name) {
    return On<QFileDialog>([name](QFileDialog* d) { ChooseAndAccept(d, name); });
  };
  // "No" keeps the dialog open; cancelling it gives nothing.
  AnswerModalWindows(
      {{"QFileDialog", choose("vecchio")},
       {"QMessageBox", On<QMessageBox>([](QMessageBox* b) { ClickButton(b, QMessageBox::No); })},
       {"QFileDialog", On<QFileDialog>([](QFileDialog* d) { d->reject(); })}});
  EXPECT_EQ(Ask(), std::nullopt);

  AnswerModalWindows(
      {{"QFileDialog", choose("vecchio.png")},
       {"QMessageBox", On<QMessageBox>([](QMessageBox* b) { ClickButton(b, QMessageBox::Yes); })}});
  EXPECT_EQ(Ask(), (folder_ / "vecchio.png").string());
}

}  // namespace
}  // namespace funzioni
