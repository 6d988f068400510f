#include "Picture.h"

BPicture::BPicture() = default;

BPicture::BPicture(const BPicture& other) : fOps(other.fOps)
{
}

BPicture::~BPicture() = default;

void
BPicture::_Play(BView* view) const
{
	// A view may be recording into this very picture while it plays it; the ops it appends
	// must not disturb the ones being played.
	std::vector<Op> ops = fOps;
	for (const Op& op : ops)
		op(view);
}
