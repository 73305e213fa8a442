#include "shell/output/printing.h"

#include <QMainWindow>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <filesystem>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "common/file_replacing.h"
#include "shell/drawing/output_device.h"
#include "shell/output/output_state.h"
#include "shell/script/interaction.h"
#include "shell/settings/message_box.h"
#include "shell/settings/settings.h"
#include "shell/window/main_window.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

void printer_error() { show_message_box("Error", "Error accessing printer", false); }

// The system's default printer, on the paper it is set up with (a printer
// taken without a dialog would otherwise get a fixed paper of Qt's); null
// when there is none.
std::shared_ptr<QPrinter> default_printer() {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return nullptr;
  auto printer = std::make_shared<QPrinter>(info, QPrinter::HighResolution);
  printer->setPageSize(info.defaultPageSize());
  return printer;
}

// Asks for a printer: a person answers the print dialog; a script's next
// step answers it with a file (print to that PDF file), "ok" (the default
// printer) or a cancel. The chosen printer is kept; false when cancelled.
bool choose_printer(bool setup_only) {
  OutputState& o = output_state();
  if (person_answers()) {
    if (!o.printer) o.printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(o.printer.get(), main_window());
    if (setup_only) dialog.setWindowTitle("Print Setup");
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
  }
  if (const ScriptStep* s = take_step(ScriptStep::Kind::file)) {
    if (s->text == "cancel") return false;
    o.printer = pdf_printer(std::filesystem::absolute(s->text).lexically_normal().string());
    return true;
  }
  if (const ScriptStep* s = take_step(ScriptStep::Kind::answer)) {
    if (s->text != "ok" && s->text != "yes") return false;
    o.printer = default_printer();
    if (!o.printer) printer_error();
    return o.printer != nullptr;
  }
  return false;  // nobody answers: cancelled
}

// Whether the open file ends with a PDF file's end-of-file mark.
bool ends_with_pdf_end_mark(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size < 6) return false;
  char tail[16] = {};
  const off_t length = std::min<off_t>(st.st_size, static_cast<off_t>(sizeof tail));
  if (::pread(fd, tail, static_cast<std::size_t>(length), st.st_size - length) != length) return false;
  return std::string_view(tail, static_cast<std::size_t>(length)).find("%%EOF") != std::string_view::npos;
}

}  // namespace

DeviceMapping print_mapping(int px, int py, int left_margin, int top_margin, int width, int scale, bool landscape) {
  const std::int64_t left = std::int64_t{px} * left_margin / 100;
  const std::int64_t top = std::int64_t{py} * top_margin / 100;
  std::int64_t w = std::int64_t{px} * width / 100;
  std::int64_t h = std::int64_t{py} * width * 5 / 700;
  if (scale >= 1 && scale <= 100) {
    w = w * scale / 100;
    h = h * scale / 100;
  }
  DeviceMapping m;
  m.width = static_cast<std::int32_t>(w);
  m.height = static_cast<std::int32_t>(h);
  m.cx = static_cast<std::int32_t>(left + w / 2);
  m.cy = static_cast<std::int32_t>(top + h / 2);
  m.landscape = landscape;
  return m;
}

std::shared_ptr<QPrinter> pdf_printer(const std::string& path) {
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(QString::fromStdString(path));
  printer->setPageSize(QPageSize(QPageSize::Letter));
  printer->setPageOrientation(QPageLayout::Portrait);
  printer->setResolution(600);
  printer->setColorMode(QPrinter::Color);
  return printer;
}

bool PRINT(QPrinter& printer) {
  const Settings& s = settings();
  printer.setDocName(QString::fromStdString(window_state().caption));
  printer.setFullPage(true);
  // A PDF file is written to a temporary file beside its target, reached by
  // its descriptor so that nothing put at its name meanwhile is written, and
  // renamed into place once complete: it must end with the end-of-file mark
  // (a full disk can leave it short without the painter saying so).
  const bool to_file = printer.outputFormat() == QPrinter::PdfFormat;
  const std::string target = printer.outputFileName().toStdString();
  common::ReplacingFile file;
  if (to_file) {
    if (file.open(target) != 0) {
      printer_error();
      return false;
    }
    printer.setOutputFileName(QString::fromStdString(file.descriptor_path()));
  }
  bool ok = false;
  {
    QPainter painter;
    if (painter.begin(&printer)) {
      // Qt's printers have no scaling percentage of their own.
      const DeviceMapping m = print_mapping(printer.logicalDpiX(), printer.logicalDpiY(), s.PageLeftMargin,
                                            s.PageTopMargin, s.PageWidth, 100, s.LandscapePrinter != 0);
      PainterDevice device(painter);
      REPLAY_ON_DEVICE(device, m, printer.colorMode() == QPrinter::Color, s.PenWidthPrinter);
      ok = painter.end();
    }
  }
  if (to_file) {
    printer.setOutputFileName(QString::fromStdString(target));
    ok = ok && ends_with_pdf_end_mark(file.fd()) && file.commit() == 0;
    file.discard();
  }
  if (!ok) printer_error();
  return ok;
}

void PRINTER_SETUP() { choose_printer(true); }

void PRINT_WITH_DIALOG() {
  if (choose_printer(false)) PRINT(*output_state().printer);
}

void PRINT_NOW() {
  OutputState& o = output_state();
  if (!o.printer) o.printer = default_printer();
  if (!o.printer) {
    printer_error();
    return;
  }
  PRINT(*o.printer);
}

}  // namespace kesto::shell
