// How the kit reports misuse by its caller (adding a view that already has a parent, removing
// a view that is not a child, locking from another thread): the message goes to standard
// error, then debug and sanitizer builds stop there, and release builds carry on, having
// ignored the call.
#pragma once

namespace BPrivate {

void ReportMisuse(const char* what);

} // namespace BPrivate
