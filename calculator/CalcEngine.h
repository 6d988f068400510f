// The pad's arithmetic: operators apply at once, strictly left to right, to a running result.
// The engine keeps no display of its own; for each key it says what the edited field's text
// becomes. It neither reads nor writes the field: CalcView does both.
// Plain C++: nothing of the kit.
#pragma once

#include <cstdint>
#include <string>

// What one key does to the field.
struct CalcEdit {
	enum Kind {
		kNone,
		kSetText,        // replace the whole text by text
		kDeleteLastByte, // remove the field's last byte, if any
	};
	Kind kind = kNone;
	std::string text;
};

class CalcEngine {
public:
	// Carries out button index on a field that holds fieldText, which reads as fieldValue.
	// Indexes outside the button table do nothing.
	CalcEdit Press(int32_t index, const std::string& fieldText, double fieldValue);

	// True while the field holds a number being typed, false while it shows a result.
	bool Typing() const { return fTyping; }
	// The operator that the next operator key or "=" applies, -1 or kCalcEquals for none.
	int32_t PendingOperator() const { return fPendingOp; }
	double Accumulator() const { return fAccu; }

	// A result as the field shows it: "%.2f" in the C convention, never cut short; nothing
	// for an infinity or not-a-number.
	static std::string FormatResult(double value);

private:
	double _Apply(double value) const;

	bool fTyping = true;
	int32_t fPendingOp = -1;
	double fAccu = 0;
};
