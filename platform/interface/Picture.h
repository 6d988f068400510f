// BPicture: drawing recorded from a view between BeginPicture and EndPicture, replayed with
// DrawPicture. Bitmaps are copied when recorded, so the picture outlives its sources.
#pragma once

#include <functional>
#include <vector>

#include "Rect.h"

class BView;

class BPicture {
public:
	BPicture();
	BPicture(const BPicture& other);
	~BPicture();

	int32_t CountOps() const { return (int32_t)fOps.size(); }

	// Kit internal.
	typedef std::function<void(BView* view)> Op;
	void _Append(Op op) { fOps.push_back(std::move(op)); }
	void _Clear() { fOps.clear(); }
	void _Play(BView* view) const;

private:
	std::vector<Op> fOps;
};
