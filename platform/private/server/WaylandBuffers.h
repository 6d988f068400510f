// WaylandBuffers: one surface's frames in shared memory (wl_shm), ARGB8888 as the kit paints
// them. Two buffers normally: the kit draws into one while the compositor reads the other;
// a third only when the compositor holds both. Each knows whether the compositor still
// reads it (until wl_buffer.release).
#pragma once

#include <memory>
#include <vector>

#include "SupportDefs.h"

struct wl_buffer;
struct wl_shm;

namespace BPrivate {

class WaylandBuffers {
public:
	struct Buffer {
		wl_buffer* buffer = nullptr;
		uint8* pixels = nullptr;
		size_t size = 0;
		int32 width = 0;
		int32 height = 0;
		int32 stride = 0;
		bool busy = false; // the compositor reads it
	};

	explicit WaylandBuffers(wl_shm* shm);
	~WaylandBuffers();
	WaylandBuffers(const WaylandBuffers&) = delete;
	WaylandBuffers& operator=(const WaylandBuffers&) = delete;

	// A buffer of that size the compositor does not read, made when none is free; nullptr
	// when shared memory fails. Buffers of another size are dropped once released.
	Buffer* Acquire(int32 width, int32 height);
	// Destroys every buffer (before the connection closes).
	void Clear();
	size_t Count() const { return fBuffers.size(); }

private:
	std::unique_ptr<Buffer> _Create(int32 width, int32 height);
	void _Destroy(Buffer* buffer);

	wl_shm* fShm;
	std::vector<std::unique_ptr<Buffer>> fBuffers;
};

// The rows in which two frames of the same size differ, as [first, last]; false when they are
// the same. Damage is sent for those rows only.
bool ChangedRows(const uint8* before, const uint8* after, int32 height, int32 rowBytes,
	int32 stride, int32* first, int32* last);

} // namespace BPrivate
