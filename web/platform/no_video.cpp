// The capture's option parser, which the page reuses for its links, knows
// video file names; a page records no video, so no name is one.
#include "video_file.h"

bool IsVideoFileName(const std::string&) { return false; }
bool IsGifFileName(const std::string&) { return false; }
