#include "shell/output/clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QWidget>

#include "shell/output/emf_writer.h"
#include "shell/window/main_window.h"
#include "shell/window/text_grid.h"
#include "shell/window/window_state.h"

namespace kesto::shell {
namespace {

// The text screen as plain text: its 25 rows, each without its trailing
// blanks and ended by a newline (the grid's characters are Latin-1 bytes).
QString text_screen() {
  QString text;
  for (int row = 1; row <= TEXT_ROWS; ++row) {
    std::string line = text_row(row);
    line.erase(line.find_last_not_of(' ') + 1);
    text += QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    text += '\n';
  }
  return text;
}

}  // namespace

void COPY_PICTURE() {
  QWidget* client = client_area();
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!client || !clipboard) return;
  const QImage image = client->grab().toImage();
  if (image.isNull()) return;
  auto* data = new QMimeData;
  data->setImageData(image);
  if (window_state().graphics_mode) {
    const std::vector<std::uint8_t> emf = picture_emf();
    data->setData("image/x-emf",
                  QByteArray(reinterpret_cast<const char*>(emf.data()), static_cast<qsizetype>(emf.size())));
  } else {
    // A text page: its lines too, so that a value on it can be pasted.
    data->setText(text_screen());
  }
  clipboard->setMimeData(data);  // the clipboard owns it from now on
}

}  // namespace kesto::shell
