#pragma once

#include <QString>

// The connection icon's strip: sixteen 42 x 42 pictures side by side, a
// handheld with a signal turning around it (the connected animation).
bool writeAs16Img(const QString &path);
