// How the text view's frames reach the screen.
//
// The web engine draws a page in a process of its own and hands each frame
// to a Qt Quick scene inside the view. With the default OpenGL scene, the
// window holding it sends its whole content through OpenGL on every
// update: the tool bar, the tree and the lists as one texture, the page's
// frame on top. Where OpenGL itself is drawn by the processor (Mesa's
// llvmpipe, softpipe or swrast: virtual machines, remote desktops, X
// servers without a graphics driver) that trip costs more than the page
// does: a hit chosen in the result list took some 60 ms to show instead of
// 35. There the scene is drawn in software instead, and the engine then
// composes its frames in software too, as it already does where no OpenGL
// is to be had at all (the headless tests). With a graphics driver nothing
// changes.
//
// A user who set the scene's backend (QT_QUICK_BACKEND, QMLSCENE_DEVICE or
// QSG_RHI_BACKEND; e.g. QT_QUICK_BACKEND=rhi keeps OpenGL) is obeyed.
#ifndef CODEXA_VIEW_COMPOSITING_H_
#define CODEXA_VIEW_COMPOSITING_H_

#include <QString>

enum class ViewCompositing { kOpenGL, kSoftware };

// The way for an OpenGL renderer named `renderer` (as GL_RENDERER gives it;
// empty where no OpenGL context could be made current).
ViewCompositing CompositingForRenderer(const QString& renderer);

// Chooses the way for this process once, from the renderer of the
// application's shared OpenGL context, unless the user chose. It must run
// before the first web page exists, since the engine reads the choice when
// it starts; the text view calls it first thing.
void ChooseViewCompositing();

#endif  // CODEXA_VIEW_COMPOSITING_H_
