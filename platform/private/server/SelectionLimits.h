// What every backend holds to when it takes a selection's text from another program, so that
// a paste behaves the same whatever the window system.
#pragma once

#include <cstddef>

#include "SupportDefs.h"

namespace BPrivate {

// For an answer to begin, and for each piece of one: an owner that never answers or stops
// halfway costs no more than this.
constexpr bigtime_t kSelectionTimeout = 1000000;
// A pasted text larger than this is dropped (nothing is pasted): no field takes it.
constexpr size_t kLargestSelectionText = 64 * 1024 * 1024;

} // namespace BPrivate
