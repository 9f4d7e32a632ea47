#pragma once

#include "theme/format_images.h"

#include <QSize>
#include <QString>

// The size text of the two working pictures: "(%dx%d - %dx%d)", with
// "---x---" for a missing picture (an invalid size).
QString TexteTaillesImages(QSize today, QSize start);
// Status bar panel 0: "Images Format : " and the size text.
QString TexteFormatImages(QSize today, QSize start);
// Status bar panel 1: "Theme Format : " and the format's picture sizes or its
// portrait + landscape name; empty for a format outside 0..8 (the panel then
// keeps its text).
QString TexteFormatTheme(const FormatImages &format);
