// Which whole-number scale the desktop asks windows to be drawn at: our own variable first,
// then GDK_SCALE, then Xft.dpi from the X resources divided by 96, else 1. Plain functions, so
// that the order of the sources is testable; reading the X resources (RESOURCE_MANAGER) is the
// backend's job, and nothing here touches a display.
#pragma once

#include "SupportDefs.h"

namespace BPrivate {

// Larger scales are taken as this one: a window of the converter's size stays on any screen.
constexpr int32 kMaxDisplayScale = 8;
// The environment variable that overrides the desktop's scale for this program alone.
extern const char* const kDisplayScaleVariable;

struct DisplayScaleSources {
	const char* own = nullptr;       // kDisplayScaleVariable's value
	const char* gdkScale = nullptr;  // GDK_SCALE's value
	const char* resources = nullptr; // the X resources as text (RESOURCE_MANAGER)
};

// The first source that holds a usable value decides; a source that is unset, empty or
// malformed (not a whole number of at least 1, a DPI that is not a positive number) is passed
// over. The result is 1 to kMaxDisplayScale.
int32 ResolveDisplayScale(const DisplayScaleSources& sources);

// The same with the two variables read from the environment.
int32 DisplayScaleFromEnvironment(const char* resources);

// A scale as the variables give it: digits, surrounded by blanks at most.
bool ParseDisplayScale(const char* text, int32* scale);
// The value of Xft.dpi in X resource text ("Xft.dpi:\t144" on a line of its own).
bool FindXftDpi(const char* resources, double* dpi);

} // namespace BPrivate
