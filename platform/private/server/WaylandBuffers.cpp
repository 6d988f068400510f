#include "WaylandBuffers.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstring>

namespace BPrivate {

namespace {

const size_t kMaxBuffers = 3;

void
OnRelease(void* data, wl_buffer*)
{
	static_cast<WaylandBuffers::Buffer*>(data)->busy = false;
}

const wl_buffer_listener kBufferListener = {OnRelease};

} // namespace

WaylandBuffers::WaylandBuffers(wl_shm* shm) : fShm(shm)
{
}

WaylandBuffers::~WaylandBuffers()
{
	Clear();
}

void
WaylandBuffers::Clear()
{
	for (auto& buffer : fBuffers)
		_Destroy(buffer.get());
	fBuffers.clear();
}

WaylandBuffers::Buffer*
WaylandBuffers::Acquire(int32 width, int32 height)
{
	// Buffers of an old size are of no more use once the compositor lets go of them.
	for (size_t i = 0; i < fBuffers.size();) {
		Buffer* buffer = fBuffers[i].get();
		if (!buffer->busy && (buffer->width != width || buffer->height != height)) {
			_Destroy(buffer);
			fBuffers.erase(fBuffers.begin() + (long)i);
		} else
			i++;
	}
	for (auto& buffer : fBuffers) {
		if (!buffer->busy)
			return buffer.get();
	}
	if (fBuffers.size() >= kMaxBuffers || fShm == nullptr)
		return nullptr;
	std::unique_ptr<Buffer> buffer = _Create(width, height);
	if (buffer == nullptr)
		return nullptr;
	fBuffers.push_back(std::move(buffer));
	return fBuffers.back().get();
}

std::unique_ptr<WaylandBuffers::Buffer>
WaylandBuffers::_Create(int32 width, int32 height)
{
	if (width <= 0 || height <= 0)
		return nullptr;
	auto buffer = std::make_unique<Buffer>();
	buffer->width = width;
	buffer->height = height;
	buffer->stride = width * 4;
	buffer->size = (size_t)buffer->stride * (size_t)height;
	const int fd = memfd_create("kambolux-frame", MFD_CLOEXEC | MFD_ALLOW_SEALING);
	if (fd < 0)
		return nullptr;
	if (ftruncate(fd, (off_t)buffer->size) != 0) {
		close(fd);
		return nullptr;
	}
	void* pixels = mmap(nullptr, buffer->size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
	if (pixels == MAP_FAILED) {
		close(fd);
		return nullptr;
	}
	// The compositor may rely on the size staying.
	fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_SEAL);
	buffer->pixels = static_cast<uint8*>(pixels);
	wl_shm_pool* pool = wl_shm_create_pool(fShm, fd, (int32_t)buffer->size);
	buffer->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, buffer->stride,
		WL_SHM_FORMAT_ARGB8888);
	wl_shm_pool_destroy(pool);
	close(fd);
	wl_buffer_add_listener(buffer->buffer, &kBufferListener, buffer.get());
	return buffer;
}

void
WaylandBuffers::_Destroy(Buffer* buffer)
{
	if (buffer->buffer != nullptr)
		wl_buffer_destroy(buffer->buffer);
	if (buffer->pixels != nullptr)
		munmap(buffer->pixels, buffer->size);
	buffer->buffer = nullptr;
	buffer->pixels = nullptr;
}

bool
ChangedRows(const uint8* before, const uint8* after, int32 height, int32 rowBytes, int32 stride,
	int32* first, int32* last)
{
	int32 top = 0;
	while (top < height
		&& memcmp(before + (size_t)top * stride, after + (size_t)top * stride, (size_t)rowBytes)
			== 0)
		top++;
	if (top == height)
		return false;
	int32 bottom = height - 1;
	while (bottom > top
		&& memcmp(before + (size_t)bottom * stride, after + (size_t)bottom * stride,
			   (size_t)rowBytes)
			== 0)
		bottom--;
	*first = top;
	*last = bottom;
	return true;
}

} // namespace BPrivate
