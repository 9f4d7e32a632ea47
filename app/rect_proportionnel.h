#pragma once

#include <QRect>

// The aspect-keeping fit of a w x h picture into a W x H box: never enlarged,
// centred (offsets divided toward zero). A picture with no width or height
// that does not fit takes the whole box.
QRect RectProportionnel(int w, int h, int W, int H);
