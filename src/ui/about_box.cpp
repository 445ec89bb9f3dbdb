// The About box and its picture, a small gallery page drawn with QPainter so that the program
// carries no image taken from elsewhere.
#include "ui/about_box.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "html/page_frame.h"
#include "ui/link_label.h"
#include "ui/window_placement.h"

namespace quorvel::ui {
namespace {

constexpr int kClientWidth = 455;
constexpr int kClientHeight = 270;
constexpr int kPictureWidth = 452;
constexpr int kPictureHeight = 165;

QFont ArialFont(int pointSize, bool bold) {
  QFont font(QStringLiteral("Arial"), pointSize);
  font.setStyleHint(QFont::SansSerif);
  font.setBold(bold);
  return font;
}

// One thumbnail of the drawn gallery: a sky, a sun and hills in the given hues.
void DrawThumbnail(QPainter& p, const QRect& r, int hue) {
  p.fillRect(r.adjusted(2, 2, 2, 2), QColor(0, 0, 0, 60));
  QLinearGradient sky(r.topLeft(), r.bottomLeft());
  sky.setColorAt(0, QColor::fromHsv(hue, 90, 255));
  sky.setColorAt(1, QColor::fromHsv(hue, 40, 250));
  p.fillRect(r, sky);
  p.save();
  p.setClipRect(r);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 226, 120));
  p.drawEllipse(QPoint(r.right() - r.width() / 4, r.top() + r.height() / 3), r.height() / 7,
                r.height() / 7);
  QPainterPath hills;
  hills.moveTo(r.left(), r.bottom());
  hills.cubicTo(r.left() + r.width() * 0.3, r.top() + r.height() * 0.35, r.left() + r.width() * 0.6,
                r.top() + r.height() * 0.95, r.right() + 1, r.top() + r.height() * 0.55);
  hills.lineTo(r.right() + 1, r.bottom() + 1);
  hills.closeSubpath();
  p.setBrush(QColor::fromHsv((hue + 120) % 360, 140, 150));
  p.drawPath(hills);
  p.restore();
  p.setPen(QPen(QColor(255, 255, 255), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r);
}

// The 452 x 165 picture across the top.
QImage DrawPicture() {
  QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient wall(0, 0, 0, kPictureHeight);
  wall.setColorAt(0, QColor(24, 36, 84));
  wall.setColorAt(1, QColor(60, 90, 160));
  p.fillRect(image.rect(), wall);
  // A tilted grid of thumbnails, as on an index page.
  p.save();
  p.translate(315, -24);
  p.rotate(12);
  constexpr int kCell = 52;
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 5; ++col) {
      DrawThumbnail(p, QRect(col * (kCell + 10), row * (kCell - 6), kCell, kCell - 14),
                    (row * 67 + col * 41) % 360);
    }
  }
  p.restore();
  p.setPen(QColor(255, 255, 255));
  p.setFont(ArialFont(20, true));
  p.drawText(QRect(18, 40, 300, 40), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Quorvelandiscope"));
  p.setFont(ArialFont(10, false));
  p.setPen(QColor(210, 220, 255));
  p.drawText(QRect(20, 82, 260, 40), Qt::AlignLeft,
             QStringLiteral("Web picture galleries\nfrom folders of photographs"));
  return image;
}

QString CreditsText() {
  return QStringLiteral(
      "Quorvelandiscope 1.0 - thumbnails and HTML index pages in one batch.\n"
      "Written in C++ with Qt 6 and the Independent JPEG Group's library.\n"
      "Free to use for your own galleries, at home and at work.");
}

}  // namespace

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("About"));
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);
  // The background of a text field (white in a light palette) and, for the labels on it, the
  // text colour that goes with it, both following the palette.
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);

  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("Picture"));
  picture->setPixmap(QPixmap::fromImage(DrawPicture()));
  picture->setFixedSize(kPictureWidth, kPictureHeight);
  auto* credits = new QLabel(CreditsText(), this);
  credits->setObjectName(QStringLiteral("CreditsLabel"));
  credits->setFont(ArialFont(8, false));
  credits->setAlignment(Qt::AlignHCenter);
  auto* link = new LinkLabel(QStringLiteral("QUORVELANDISCOPEs web-site"),
                             QUrl(QString::fromLatin1(html::kProductWebAddress)), this);
  link->setObjectName(QStringLiteral("WebSiteLabel"));
  ok_button_ = new QPushButton(tr("&OK"), this);
  ok_button_->setObjectName(QStringLiteral("OKBtn"));
  ok_button_->setDefault(true);
  connect(ok_button_, &QPushButton::clicked, this, &AboutBox::accept);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 2, 6);
  layout->setSpacing(4);
  layout->addWidget(picture, 0, Qt::AlignHCenter);
  layout->addWidget(credits);
  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(10, 0, 10, 0);
  bottom->addWidget(link);
  bottom->addStretch(1);
  bottom->addWidget(ok_button_);
  layout->addLayout(bottom);
}

void AboutBox::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  ok_button_->setFocus();
  QDialog::showEvent(event);
}

}  // namespace quorvel::ui
