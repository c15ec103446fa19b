// The pictures of resources/pictures, embedded by pictures.qrc under
// ":/bitmaps/<id>.png" (with "<id>@2x.png") and ":/icons/<id>-<size>.png".
#pragma once

#include <QIcon>
#include <QPixmap>

namespace treva {

// Bitmap `id` for a screen of this pixel ratio: the 2x drawing where the
// screen is denser than 1x and one exists. Null if the id is unknown.
QPixmap loadPicture(int id, qreal devicePixelRatio);

// Icon `id` (the program or its scenario files) in every size drawn.
QIcon loadIcon(int id);

} // namespace treva
