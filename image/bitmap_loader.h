// Reading the texture bitmap: a Windows BMP file, with or without its file
// header, into a 24-bit RgbImage.
#pragma once

#include "dib_color_count.h"
#include "rgb_image.h"

// While set, every failure to load a bitmap is also told in a message box
// captioned "Error". The results do not depend on it.
extern bool errorPopups;

// Null, without a message, for a null path or a file that cannot be opened
// for reading (the open never waits on a FIFO); otherwise as LoadDibImage.
RgbImage* LoadBitmapFile(const char* path);

// Maps the file read-only and decodes it. With `wideName`, `path` points at
// a null-terminated WCHAR string. Null on failure, after one message box
// (while errorPopups); everything acquired is released before returning.
RgbImage* LoadDibImage(const char* path, bool wideName);

// Why the last call of either function returned null, for one line on
// stderr: the system's reason when the file could not be opened or read,
// else the text of the message box; for a header refused by design it adds
// how to convert the file. Empty after a success.
const char* BitmapFailureReason();
