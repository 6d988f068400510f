// Reading a kit cache file whole: a regular file, not through a symbolic link, up to a size,
// so that a planted link, a FIFO or a huge file cannot make the reader hang or hold too much.
#pragma once

#include <sys/types.h>

#include <string>

namespace BPrivate {

// False when the file is missing, not regular, a link, larger than largest or unreadable.
bool ReadRegularFile(const std::string& path, off_t largest, std::string* content);

} // namespace BPrivate
