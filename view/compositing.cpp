#include "view/compositing.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>

namespace {

// Where a user set one of these, the scene is left as the user set it.
constexpr const char* kUserChoices[] = {"QT_QUICK_BACKEND", "QMLSCENE_DEVICE", "QSG_RHI_BACKEND"};

bool UserChoseBackend() {
  for (const char* name : kUserChoices) {
    if (!qEnvironmentVariableIsEmpty(name)) return true;
  }
  return false;
}

// GL_RENDERER of the context every OpenGL context of the application shares
// with (the engine asks Qt for one before the application starts); empty
// where there is none or it cannot be made current, as on the offscreen
// platform.
QString SharedRenderer() {
  QOpenGLContext* shared = QOpenGLContext::globalShareContext();
  if (!shared) return QString();
  QOffscreenSurface surface;
  surface.create();
  if (!shared->makeCurrent(&surface)) return QString();
  const auto* name = reinterpret_cast<const char*>(shared->functions()->glGetString(GL_RENDERER));
  QString renderer = name ? QString::fromLatin1(name) : QString();
  shared->doneCurrent();
  return renderer;
}

}  // namespace

ViewCompositing CompositingForRenderer(const QString& renderer) {
  // Mesa's processor-drawn drivers name themselves so, alone or after
  // "Mesa"/"Gallium"; a driver for a graphics chip never does.
  static const char* const kSoftwareRenderers[] = {"llvmpipe", "softpipe", "swrast", "software rasterizer"};
  for (const char* name : kSoftwareRenderers) {
    if (renderer.contains(QLatin1String(name), Qt::CaseInsensitive)) return ViewCompositing::kSoftware;
  }
  return ViewCompositing::kOpenGL;
}

void ChooseViewCompositing() {
  static bool chosen = false;
  if (chosen) return;
  chosen = true;
  if (UserChoseBackend()) return;
  if (CompositingForRenderer(SharedRenderer()) == ViewCompositing::kSoftware) {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  }
}
