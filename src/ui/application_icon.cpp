#include "ui/application_icon.h"

#include <QCoreApplication>
#include <QIconEngine>
#include <QPainter>
#include <QString>
#include <array>

namespace quillmere {
namespace {

constexpr std::array kDrawnSizes{16, 32, 48, 256};

// Tells the sizes the icon is drawn at without decoding any, and leaves drawing to an icon of
// the resource files made the first time a pixmap is asked for.
class ResourceIconEngine final : public QIconEngine {
 public:
  [[nodiscard]] QIconEngine* clone() const override { return new ResourceIconEngine(*this); }
  [[nodiscard]] QString key() const override { return QStringLiteral("quillmere-resources"); }
  bool isNull() override { return false; }

  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    // The files are of the normal, off icon; the other modes are made from it when drawn.
    QList<QSize> sizes;
    if (mode == QIcon::Normal && state == QIcon::Off) {
      for (const int size : kDrawnSizes) {
        sizes.append(QSize(size, size));
      }
    }
    return sizes;
  }

  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Files().actualSize(size, mode, state);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Files().pixmap(size, mode, state);
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Files().paint(painter, rect, Qt::AlignCenter, mode, state);
  }

 private:
  QIcon& Files() {
    if (files_.isNull()) {
      for (const int size : kDrawnSizes) {
        files_.addFile(QStringLiteral(":/quillmere/icons/quillmere-%1.png").arg(size),
                       QSize(size, size));
      }
    }
    return files_;
  }

  QIcon files_;
};

QIcon& SharedIcon() {
  static QIcon icon;
  return icon;
}

}  // namespace

QIcon ApplicationIcon() {
  QIcon& icon = SharedIcon();
  if (icon.isNull()) {
    icon = QIcon(new ResourceIconEngine);
    // Decoded pixmaps go with the application, while Qt's image machinery still stands.
    qAddPostRoutine([] { SharedIcon() = QIcon(); });
  }
  return icon;
}

}  // namespace quillmere
