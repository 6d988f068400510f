#include "HeadlessBackend.h"

#include <poll.h>

#include <cairo.h>

#include <cassert>
#include <cstring>

#include "DisplayScale.h"
#include "InterfaceDefs.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace BPrivate {

class HeadlessWindow : public BackendWindow {
public:
	HeadlessWindow(HeadlessBackend* backend, uint32 id, const WindowSpec& spec) :
		fBackend(backend),
		fId(id),
		fSpec(spec),
		fFrame(spec.frame)
	{
	}

	~HeadlessWindow() override { fBackend->_Removed(this); }

	uint32 Id() const override { return fId; }
	void SetTitle(const char* title) override { fSpec.title = title ? title : ""; }
	void MoveTo(BPoint point) override { fFrame.OffsetTo(point); }
	void ResizeTo(int32 width, int32 height) override
	{
		fFrame.right = fFrame.left + width - 1;
		fFrame.bottom = fFrame.top + height - 1;
	}
	void SetDecorated(bool decorated) override { fSpec.decorated = decorated; }
	bool IsDecorated() const override { return fSpec.decorated; }
	void SetBordered(bool bordered) override { fSpec.bordered = bordered; }
	void SetTransientFor(uint32 parent) override { fSpec.parent = parent; }
	void SetAlwaysOnTop(bool onTop) override { fSpec.alwaysOnTop = onTop; }
	void SetModal(bool modal) override { fSpec.modal = modal; }
	void Show() override { fVisible = true; }
	void Hide() override
	{
		fVisible = false;
		if (fBackend->fActive == fId) {
			BackendEvent event;
			event.type = BackendEvent::kDeactivated;
			event.window = fId;
			fBackend->_Push(event);
			fBackend->fActive = 0;
		}
	}
	void Activate() override
	{
		if (fVisible)
			fBackend->ActivateWindow(fId);
	}
	void Present(const uint8* pixels, int32 width, int32 height, int32 stride) override
	{
		fWidth = width;
		fHeight = height;
		fPixels.resize((size_t)width * height);
		for (int32 y = 0; y < height; y++)
			memcpy(&fPixels[(size_t)y * width], pixels + (size_t)y * stride, width * 4);
		fPresents++;
	}
	BRect Frame() const override { return fFrame; }
	FrameExtents Extents() const override
	{
		if (fSpec.popupMenu)
			return FrameExtents();
		if (fSpec.decorated)
			return fBackend->fTitledExtents;
		return fSpec.bordered ? fBackend->fBorderedExtents : FrameExtents();
	}

	HeadlessBackend* fBackend;
	uint32 fId;
	WindowSpec fSpec;
	BRect fFrame;
	bool fVisible = false;
	int32 fWidth = 0;
	int32 fHeight = 0;
	int32 fPresents = 0;
	std::vector<uint32> fPixels;
};

HeadlessBackend::HeadlessBackend(BRect screen) : fScreen(screen)
{
}

HeadlessBackend::~HeadlessBackend()
{
	for (auto& entry : fWindows)
		entry.second->fBackend = nullptr;
}

HeadlessBackend*
HeadlessBackend::Install(BRect screen)
{
	auto backend = std::make_unique<HeadlessBackend>(screen);
	HeadlessBackend* result = backend.get();
	SetBackend(std::move(backend));
	return result;
}

void
HeadlessBackend::SetScale(int32 scale)
{
	assert(scale >= 1 && scale <= kMaxDisplayScale);
	SetScale(DisplayScale::Whole(scale));
}

void
HeadlessBackend::SetScale(DisplayScale scale)
{
	assert(fWindows.empty());
	fScale = scale;
}

void
HeadlessBackend::ChangeScale(DisplayScale scale)
{
	fScale = scale;
	for (const auto& [id, window] : fWindows) {
		BackendEvent event;
		event.type = BackendEvent::kExposed;
		event.window = id;
		_Push(event);
	}
}

HeadlessBackend*
HeadlessBackend::Current()
{
	if (!HasBackend())
		return nullptr;
	return dynamic_cast<HeadlessBackend*>(CurrentBackend());
}

std::unique_ptr<BackendWindow>
HeadlessBackend::CreateWindow(const WindowSpec& spec)
{
	if (fRefuseWindows)
		return nullptr;
	uint32 id = fNextId++;
	auto window = std::make_unique<HeadlessWindow>(this, id, spec);
	fWindows[id] = window.get();
	return window;
}

bool
HeadlessBackend::WaitEvent(BackendEvent* event, int32 timeoutMs, std::vector<pollfd>* descriptors)
{
	if (fEvents.empty()) {
		if (descriptors != nullptr && !descriptors->empty()) {
			for (pollfd& descriptor : *descriptors)
				descriptor.revents = 0;
			poll(descriptors->data(), descriptors->size(), timeoutMs < 0 ? 0 : timeoutMs);
		}
		return false;
	}
	*event = fEvents.front();
	fEvents.pop_front();
	return true;
}

status_t
HeadlessBackend::OpenURL(const char* url)
{
	if (url == nullptr)
		return B_BAD_VALUE;
	fLaunched.push_back(url);
	if (fLaunchHook)
		fLaunchHook(url);
	return B_OK;
}

HeadlessWindow*
HeadlessBackend::_Find(uint32 id) const
{
	auto found = fWindows.find(id);
	return found == fWindows.end() ? nullptr : found->second;
}

void
HeadlessBackend::_Removed(HeadlessWindow* window)
{
	if (fWindows.empty())
		return;
	fWindows.erase(window->fId);
	if (fActive == window->fId)
		fActive = 0;
	// Events for a window that is gone are never delivered.
	for (auto event = fEvents.begin(); event != fEvents.end();) {
		if (event->window == window->fId)
			event = fEvents.erase(event);
		else
			++event;
	}
}

std::vector<HeadlessBackend::WindowInfo>
HeadlessBackend::Windows() const
{
	std::vector<WindowInfo> windows;
	for (const auto& [id, window] : fWindows) {
		windows.push_back({id, window->fFrame, window->fSpec.title, window->fSpec.decorated,
			window->fSpec.alwaysOnTop, window->fSpec.popupMenu, window->fSpec.modal,
			window->fVisible, window->fSpec.bordered, window->fSpec.resizable,
			window->fSpec.skipTaskbar, window->fSpec.kind, window->fSpec.parent});
	}
	return windows;
}

int32
HeadlessBackend::CountVisibleWindows() const
{
	int32 count = 0;
	for (const auto& entry : fWindows)
		count += entry.second->fVisible ? 1 : 0;
	return count;
}

uint32
HeadlessBackend::IdOf(const BWindow* window)
{
	return window != nullptr ? WindowAccess::BackendId(window) : 0;
}

rgb_color
HeadlessBackend::PixelAt(uint32 id, int32 x, int32 y) const
{
	HeadlessWindow* window = _Find(id);
	if (window == nullptr || x < 0 || y < 0 || x >= window->fWidth || y >= window->fHeight)
		return make_color(0, 0, 0, 0);
	uint32 pixel = window->fPixels[(size_t)y * window->fWidth + x];
	return make_color((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff, pixel >> 24);
}

bool
HeadlessBackend::Snapshot(uint32 id, int32* width, int32* height, std::vector<uint32>* pixels) const
{
	HeadlessWindow* window = _Find(id);
	if (window == nullptr || window->fPresents == 0)
		return false;
	*width = window->fWidth;
	*height = window->fHeight;
	*pixels = window->fPixels;
	return true;
}

int32
HeadlessBackend::PresentCount(uint32 id) const
{
	HeadlessWindow* window = _Find(id);
	return window != nullptr ? window->fPresents : 0;
}

bool
HeadlessBackend::WritePNG(uint32 id, const char* path) const
{
	HeadlessWindow* window = _Find(id);
	if (window == nullptr || window->fPresents == 0)
		return false;
	cairo_surface_t* surface =
		cairo_image_surface_create_for_data((unsigned char*)window->fPixels.data(),
			CAIRO_FORMAT_ARGB32, window->fWidth, window->fHeight, window->fWidth * 4);
	bool ok = cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
	cairo_surface_destroy(surface);
	return ok;
}

// #pragma mark - input

BPoint
HeadlessBackend::_ToLayout(BPoint windowPixel) const
{
	return BPoint(DeviceToLayout(windowPixel.x, fScale), DeviceToLayout(windowPixel.y, fScale));
}

void
HeadlessBackend::RequestPrimaryText(uint32 window, int32 handler)
{
	_Push(BackendEvent::PrimaryText(window, handler, fPrimary));
}

void
HeadlessBackend::InjectKeyDown(uint32 window, const char* utf8, uint32 modifiers, bool repeat,
	int32 rawChar)
{
	BackendEvent event;
	event.type = BackendEvent::kKeyDown;
	event.window = window;
	event.modifiers = modifiers;
	event.repeat = repeat;
	size_t length = utf8 != nullptr ? strnlen(utf8, sizeof(event.bytes) - 1) : 0;
	memcpy(event.bytes, utf8, length);
	event.bytes[length] = '\0';
	event.numBytes = (int32)length;
	event.rawChar = rawChar != 0 ? rawChar : (length == 1 ? (uint8)utf8[0] : 0);
	_Push(event);
}

void
HeadlessBackend::InjectKeyUp(uint32 window, const char* utf8, uint32 modifiers)
{
	BackendEvent event;
	event.type = BackendEvent::kKeyUp;
	event.window = window;
	event.modifiers = modifiers;
	size_t length = utf8 != nullptr ? strnlen(utf8, sizeof(event.bytes) - 1) : 0;
	memcpy(event.bytes, utf8, length);
	event.numBytes = (int32)length;
	_Push(event);
}

void
HeadlessBackend::InjectKey(uint32 window, const char* utf8, uint32 modifiers)
{
	InjectKeyDown(window, utf8, modifiers);
	InjectKeyUp(window, utf8, modifiers);
}

void
HeadlessBackend::InjectText(uint32 window, const char* utf8)
{
	const unsigned char* p = (const unsigned char*)utf8;
	while (p != nullptr && *p != 0) {
		int32 length = 1;
		if (*p >= 0xf0)
			length = 4;
		else if (*p >= 0xe0)
			length = 3;
		else if (*p >= 0xc0)
			length = 2;
		char character[8] = {};
		int32 i = 0;
		for (; i < length && p[i] != 0; i++)
			character[i] = (char)p[i];
		InjectKey(window, character);
		p += i;
	}
}

void
HeadlessBackend::InjectMouseDown(uint32 window, BPoint where, uint32 buttons, int32 clicks)
{
	HeadlessWindow* target = _Find(window);
	// A click activates a window as a window manager would; pop-up menus take no focus.
	if (target != nullptr && !target->fSpec.popupMenu && fActive != window)
		ActivateWindow(window);
	_InjectMouse(BackendEvent::kMouseDown, window, where, buttons, clicks);
}

void
HeadlessBackend::InjectMouseUp(uint32 window, BPoint where, uint32 buttonsLeft)
{
	_InjectMouse(BackendEvent::kMouseUp, window, where, buttonsLeft, 1);
}

void
HeadlessBackend::InjectMouseMoved(uint32 window, BPoint where, uint32 buttons)
{
	_InjectMouse(BackendEvent::kMouseMoved, window, where, buttons, 1);
}

// The pointer moves with every mouse event; buttons are those held after it.
void
HeadlessBackend::_InjectMouse(BackendEvent::Type type, uint32 window, BPoint where, uint32 buttons,
	int32 clicks)
{
	HeadlessWindow* target = _Find(window);
	BackendEvent event;
	event.type = type;
	event.window = window;
	event.where = _ToLayout(where);
	if (target != nullptr)
		event.screenWhere = event.where + target->fFrame.LeftTop();
	event.buttons = buttons;
	event.clicks = clicks;
	fButtons = buttons;
	fMouse = event.screenWhere;
	_Push(event);
}

void
HeadlessBackend::InjectClick(uint32 window, BPoint where, uint32 buttons, int32 clicks)
{
	InjectMouseDown(window, where, buttons, clicks);
	InjectMouseUp(window, where, 0);
}

void
HeadlessBackend::InjectActivation(uint32 window, bool active)
{
	BackendEvent event;
	event.type = active ? BackendEvent::kActivated : BackendEvent::kDeactivated;
	event.window = window;
	if (active)
		fActive = window;
	else if (fActive == window)
		fActive = 0;
	_Push(event);
}

void
HeadlessBackend::InjectClose(uint32 window)
{
	BackendEvent event;
	event.type = BackendEvent::kCloseRequested;
	event.window = window;
	_Push(event);
}

void
HeadlessBackend::ActivateWindow(uint32 window)
{
	if (fActive == window)
		return;
	if (fActive != 0 && _Find(fActive) != nullptr) {
		BackendEvent event;
		event.type = BackendEvent::kDeactivated;
		event.window = fActive;
		_Push(event);
	}
	fActive = window;
	BackendEvent event;
	event.type = BackendEvent::kActivated;
	event.window = window;
	_Push(event);
}

} // namespace BPrivate
