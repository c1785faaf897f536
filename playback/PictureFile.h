// Writing a picture to a file: a 24-bit bottom-up BMP (rows padded to four
// bytes) or a PNG written by the Windows imaging encoder.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

enum class PictureFormat { Bmp, Png };

// Writes the bitmap to a temporary file beside the path and renames it over
// the path, so an existing file is replaced whole or not at all. False when
// the bitmap cannot be read or the file cannot be written.
bool SavePictureFile(HBITMAP bmp, const std::string& path, PictureFormat format = PictureFormat::Bmp);

// The format a save dialog's filter index (1-based) chose: 2 is PNG, any
// other is BMP.
PictureFormat PictureFormatOfFilter(int filterIndex);

}  // namespace kv
