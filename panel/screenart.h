// Pictures for the screen's density. Every picture the reader draws pixel
// for pixel (the tool bar, the pager, the contents tree, the slider's
// cursor, the about box, the splash) has, beside "name.png", a
// "name@2x.png" drawn from the same vector source at twice the size
// (res/art/make_art.py --scale 2). On a screen with more than one device
// pixel per unit (200% scaling and the like) the larger one is taken and
// marked with device pixel ratio 2, so Qt draws it at the picture's size in
// units, with every device pixel its own; elsewhere, or where it is
// missing, the picture itself, as before.
#ifndef CODEXA_PANEL_SCREENART_H_
#define CODEXA_PANEL_SCREENART_H_

#include <QImage>
#include <QPixmap>
#include <QString>

// 2 when a screen of the application has more than one device pixel per
// unit, else 1: the density of the pictures to take.
int ScreenArtRatio();

// The file to read for `path` ("x.png" or ":/res/x.png") at `ratio` (1 or
// 2): "x@2x.png" for 2 when it exists, else `path`; `usedRatio` tells which.
QString ArtPathFor(const QString& path, int ratio, int& usedRatio);

// The picture at `path` for `ratio`, its device pixel ratio set. Null when
// neither file can be read.
QImage LoadArtImage(const QString& path, int ratio = ScreenArtRatio());
QPixmap LoadArtPixmap(const QString& path, int ratio = ScreenArtRatio());

#endif  // CODEXA_PANEL_SCREENART_H_
