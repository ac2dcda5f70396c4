#include "ui/common/SlipWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <algorithm>
#include <optional>

#include "core/store/database.h"
#include "ui/common/FolderDialog.h"
#include "ui/common/MessageBox.h"
#include "ui_SlipWindow.h"

namespace ui {
namespace {

// Chinese characters exactly two columns wide, so the slip lines up as on the paper.
constexpr const char* kSlipFontFamily = "Noto Sans Mono CJK SC";
constexpr int kSlipPixelSize = 16;

QString LineText(const print::SlipLine& line, int columns) {
  const int blank = std::max(0, columns - print::DisplayWidth(line.text));
  int lead = 0;
  if (line.align == print::Align::kCenter) lead = blank / 2;
  if (line.align == print::Align::kRight) lead = blank;
  return QString(lead, QLatin1Char(' ')) + QString::fromStdString(line.text);
}

// A file name chosen for a slip, as a PDF file.
QString PdfPath(const QString& chosen) {
  const QFileInfo file(chosen);
  if (file.suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) return chosen;
  return file.dir().filePath(file.completeBaseName() + QLatin1String(".pdf"));
}

}  // namespace

SlipWindow::SlipWindow(QWidget* parent, const QString& title, print::Slip slip,
                       const QString& caption)
    : QDialog(parent), ui_(std::make_unique<Ui::SlipWindow>()), slip_(std::move(slip)) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowTitle(title);
  QFont caption_font = ui_->captionLabel->font();
  caption_font.setBold(true);
  caption_font.setPointSizeF(caption_font.pointSizeF() * 1.5);
  ui_->captionLabel->setFont(caption_font);
  ui_->captionLabel->setText(caption);
  ui_->captionLabel->setVisible(!caption.isEmpty());

  QFont font(kSlipFontFamily);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPixelSize(kSlipPixelSize);
  QPlainTextEdit& text = *ui_->slipText;
  text.setFont(font);
  QTextCursor cursor(text.document());
  QTextCharFormat plain;
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  for (std::size_t i = 0; i < slip_.lines.size(); ++i) {
    if (i > 0) cursor.insertBlock();
    const print::SlipLine& line = slip_.lines[i];
    cursor.insertText(LineText(line, slip_.columns), line.emphasis ? bold : plain);
  }
  // The whole width of the paper in view, and as many lines as the screen allows.
  const QFontMetrics metrics(font);
  const int frame = 2 * text.frameWidth() + 2 * static_cast<int>(text.document()->documentMargin());
  text.setMinimumWidth(metrics.horizontalAdvance(QLatin1Char('0')) * (slip_.columns + 2) + frame +
                       text.verticalScrollBar()->sizeHint().width());
  const auto lines = static_cast<int>(std::min<std::size_t>(slip_.lines.size(), 30));
  text.setMinimumHeight(metrics.lineSpacing() * (lines + 1) + frame);

  connect(ui_->printButton, &QPushButton::clicked, this, &SlipWindow::OnPrint);
  connect(ui_->closeButton, &QPushButton::clicked, this, &SlipWindow::accept);
  ui_->closeButton->setFocus();
}

SlipWindow::~SlipWindow() = default;

QString SlipWindow::text() const { return ui_->slipText->toPlainText(); }

void SlipWindow::Show(QWidget* parent, const QString& title, const print::Slip& slip,
                      const QString& caption) {
  SlipWindow window(parent, title, slip, caption);
  window.exec();
}

void SlipWindow::OnPrint() {
  print::PrintTarget target;
  try {
    store::Database db;
    target = print::ReadPrintTarget(db);
  } catch (const store::DbError&) {
    // Without readable settings there is no printer to send to: the PDF file is offered.
  }
  if (target.output != print::Output::kNone) {
    print::Slip paper = slip_;
    paper.feed_lines = target.feed_lines;
    const std::string problem = print::SendSlip(target, paper);
    if (problem.empty()) {
      ShowMessage(this, "已打印");
      return;
    }
    ShowMessage(this, QString::fromStdString("打印失败: " + problem));
  }
  PrintToPdf();
}

void SlipWindow::PrintToPdf() {
  const std::optional<QString> chosen = FolderDialog::ChooseTarget(this, "pdf", windowTitle());
  if (!chosen) return;
  const QString path = PdfPath(*chosen);
  print::DriverPrinter* printer = print::RegisteredDriverPrinter();
  const int paper_mm = slip_.columns > print::kColumns58mm ? print::kPaper76mm : print::kPaper58mm;
  const std::string problem = printer == nullptr
                                  ? std::string("没有可用的驱动打印机")
                                  : printer->Print(slip_, path.toStdString(), paper_mm);
  ShowMessage(this, problem.empty() ? QString("已保存为 %1").arg(path)
                                    : QString::fromStdString("打印失败: " + problem));
}

void ShowSlipDelivery(QWidget* parent, const QString& title, const print::SlipDelivery& delivery) {
  if (!delivery.failure.empty()) ShowMessage(parent, QString::fromStdString(delivery.failure));
  if (delivery.unprinted) SlipWindow::Show(parent, title, *delivery.unprinted);
}

}  // namespace ui
