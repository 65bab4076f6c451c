#pragma once

#include <QImage>

// The About window's picture: a small testing machine with a specimen in its
// grips beside the load curve of a test, drawn at run time in 24-bit colour.
inline constexpr int kAboutPictureWidthPixels = 159;
inline constexpr int kAboutPictureHeightPixels = 113;

QImage AboutPicture();
