// The kit's one clock: microseconds on the monotonic clock, for time-outs, pulses and message
// times. Kit-internal.
#pragma once

#include "SupportDefs.h"

namespace BPrivate {

bigtime_t system_time_us();

} // namespace BPrivate
