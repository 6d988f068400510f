// Which scale the desktop asks windows to be drawn at, and the arithmetic between layout
// units and device pixels at that scale. Our own variable first, then GDK_SCALE, then Xft.dpi
// from the X resources divided by 96, else 1. Plain functions, so that the order of the
// sources is testable; reading the X resources (RESOURCE_MANAGER) is the backend's job, and
// nothing here touches a display.
#pragma once

#include "SupportDefs.h"

namespace BPrivate {

// Larger scales are taken as this one: a window of the converter's size stays on any screen.
constexpr int32 kMaxDisplayScale = 8;
// The environment variable that overrides the desktop's scale for this program alone.
extern const char* const kDisplayScaleVariable;

// A factor of at least 1, held in 120ths (the unit Wayland's fractional scale uses), so that
// whole factors stay exact and any backend can hand over what its window system gives.
// Layout coordinate x starts at device pixel round(x * factor), halves rounded up: a layout
// pixel x covers the device pixels [ToDevice(x), ToDevice(x + 1)), so edges fall on whole
// pixels and neighbouring layout pixels tile without gaps or overlaps.
class DisplayScale {
public:
	static constexpr int32 kUnitsPerWhole = 120;

	constexpr DisplayScale() = default;
	// Clamped to 1 .. kMaxDisplayScale.
	static DisplayScale Whole(int32 factor);
	static DisplayScale FromUnits(int64 units);
	// The nearest 120th; a value within a millionth of a whole number is that number.
	static DisplayScale FromFactor(double factor);

	int32 Units() const { return fUnits; }
	bool IsWhole() const { return fUnits % kUnitsPerWhole == 0; }
	// The whole factor at or above this one (the finest image variant worth taking).
	int32 Ceiling() const { return (fUnits + kUnitsPerWhole - 1) / kUnitsPerWhole; }
	double Factor() const { return (double)fUnits / kUnitsPerWhole; }

	// The device pixel where layout coordinate `layout` begins.
	int64 ToDevice(int64 layout) const;
	// The layout pixel whose device pixels hold `device`.
	int64 ToLayout(int64 device) const;
	// The shortest layout length whose device length reaches `device` (at least 1 when
	// device is positive; zero and negative lengths are returned as they are).
	int64 LayoutLengthCovering(int64 device) const;

	bool operator==(const DisplayScale& other) const { return fUnits == other.fUnits; }
	bool operator!=(const DisplayScale& other) const { return fUnits != other.fUnits; }

private:
	int32 fUnits = kUnitsPerWhole;
};

struct DisplayScaleSources {
	const char* own = nullptr;       // kDisplayScaleVariable's value
	const char* gdkScale = nullptr;  // GDK_SCALE's value
	const char* resources = nullptr; // the X resources as text (RESOURCE_MANAGER)
};

// The first source that holds a usable value decides; a source that is unset, empty or
// malformed (below 1, not a number, GDK_SCALE not whole, a DPI that is not a positive
// number) is passed over. Xft.dpi / 96 is taken to the nearest quarter, so that a measured
// DPI such as 101 stays at 1 while 120 and 144 give 1.25 and 1.5.
DisplayScale ResolveDisplayScale(const DisplayScaleSources& sources);

// The same with the two variables read from the environment.
DisplayScale DisplayScaleFromEnvironment(const char* resources);

// A scale as our variable gives it: a number such as 2 or 1.5 (a decimal comma is taken
// too), surrounded by blanks at most, to the nearest 120th.
bool ParseDisplayScale(const char* text, DisplayScale* scale);
// GDK_SCALE: whole numbers only, as GTK reads it.
bool ParseWholeDisplayScale(const char* text, DisplayScale* scale);
// The value of Xft.dpi in X resource text ("Xft.dpi:\t144" on a line of its own).
bool FindXftDpi(const char* resources, double* dpi);
// Xft.dpi as a scale: dpi / 96 to the nearest quarter, 1 at least.
DisplayScale DisplayScaleFromDpi(double dpi);

} // namespace BPrivate
