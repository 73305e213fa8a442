#include "shell/output/clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QWidget>

#include "shell/output/emf_writer.h"
#include "shell/window/main_window.h"
#include "shell/window/window_state.h"

namespace kesto::shell {

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
  }
  clipboard->setMimeData(data);  // the clipboard owns it from now on
}

}  // namespace kesto::shell
