#include "panel/screenart.h"

#include <QFileInfo>
#include <QGuiApplication>

int ScreenArtRatio() { return qobject_cast<QGuiApplication*>(qApp) && qApp->devicePixelRatio() > 1 ? 2 : 1; }

QString ArtPathFor(const QString& path, int ratio, int& usedRatio) {
  usedRatio = 1;
  if (ratio < 2) return path;
  const qsizetype dot = path.lastIndexOf(u'.');
  const qsizetype slash = path.lastIndexOf(u'/');
  if (dot <= slash) return path;
  const QString larger = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
  if (!QFileInfo::exists(larger)) return path;
  usedRatio = 2;
  return larger;
}

QImage LoadArtImage(const QString& path, int ratio) {
  int usedRatio = 1;
  QImage image(ArtPathFor(path, ratio, usedRatio));
  image.setDevicePixelRatio(usedRatio);
  return image;
}

QPixmap LoadArtPixmap(const QString& path, int ratio) { return QPixmap::fromImage(LoadArtImage(path, ratio)); }
