#include "WaylandSeat.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-cursor.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "InterfaceDefs.h"
#include "WaylandDecoration.h"
#include "WaylandWindow.h"

namespace BPrivate {

namespace {

const uint32 kDoubleClickTime = 500;
const float kDoubleClickDistance = 4;
const int kCursorSize = 24;

WaylandSeat*
Of(void* data)
{
	return static_cast<WaylandSeat*>(data);
}

int64
NowUs()
{
	timespec now{};
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (int64)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

uint32
ButtonMask(uint32 button)
{
	switch (button) {
		case BTN_LEFT:
			return B_PRIMARY_MOUSE_BUTTON;
		case BTN_RIGHT:
			return B_SECONDARY_MOUSE_BUTTON;
		case BTN_MIDDLE:
			return B_TERTIARY_MOUSE_BUTTON;
		default:
			return 0;
	}
}

void
OnPointerEnter(void* data, wl_pointer*, uint32_t serial, wl_surface* surface, wl_fixed_t x,
	wl_fixed_t y)
{
	Of(data)->PointerEnter(serial, surface, wl_fixed_to_double(x), wl_fixed_to_double(y));
}

void
OnPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface* surface)
{
	Of(data)->PointerLeave(surface);
}

void
OnPointerMotion(void* data, wl_pointer*, uint32_t time, wl_fixed_t x, wl_fixed_t y)
{
	Of(data)->PointerMotion(time, wl_fixed_to_double(x), wl_fixed_to_double(y));
}

void
OnPointerButton(void* data, wl_pointer*, uint32_t serial, uint32_t time, uint32_t button,
	uint32_t state)
{
	Of(data)->PointerButton(serial, time, button, state == WL_POINTER_BUTTON_STATE_PRESSED);
}

// The wheel and the grouping of events are not used.
void
OnPointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t)
{
}

void
OnPointerFrame(void*, wl_pointer*)
{
}

void
OnPointerAxisSource(void*, wl_pointer*, uint32_t)
{
}

void
OnPointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t)
{
}

void
OnPointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t)
{
}

void
OnPointerAxisValue120(void*, wl_pointer*, uint32_t, int32_t)
{
}

const wl_pointer_listener kPointerListener = {OnPointerEnter, OnPointerLeave, OnPointerMotion,
	OnPointerButton, OnPointerAxis, OnPointerFrame, OnPointerAxisSource, OnPointerAxisStop,
	OnPointerAxisDiscrete, OnPointerAxisValue120};

void
OnKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size)
{
	Of(data)->KeyboardKeymap(format, fd, size);
}

void
OnKeyboardEnter(void* data, wl_keyboard*, uint32_t serial, wl_surface* surface, wl_array* keys)
{
	std::vector<uint32> held;
	const uint32_t* key = static_cast<const uint32_t*>(keys->data);
	for (size_t i = 0; i < keys->size / sizeof(uint32_t); i++)
		held.push_back(key[i]);
	Of(data)->KeyboardEnter(serial, surface, held);
}

void
OnKeyboardLeave(void* data, wl_keyboard*, uint32_t, wl_surface* surface)
{
	Of(data)->KeyboardLeave(surface);
}

void
OnKey(void* data, wl_keyboard*, uint32_t serial, uint32_t, uint32_t key, uint32_t state)
{
	Of(data)->KeyboardKey(serial, key, state == WL_KEYBOARD_KEY_STATE_PRESSED);
}

void
OnModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
	uint32_t locked, uint32_t group)
{
	Of(data)->KeyboardModifiers(depressed, latched, locked, group);
}

void
OnRepeatInfo(void* data, wl_keyboard*, int32_t rate, int32_t delay)
{
	Of(data)->Keyboard().SetRepeat(rate, delay);
}

const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave, OnKey,
	OnModifiers, OnRepeatInfo};

void
OnCapabilities(void* data, wl_seat*, uint32_t capabilities)
{
	Of(data)->Capabilities(capabilities);
}

void
OnSeatName(void*, wl_seat*, const char*)
{
}

const wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

} // namespace

WaylandSeat::WaylandSeat(WaylandConnection* connection, WindowOf windowOf) :
	fConnection(connection),
	fWindowOf(std::move(windowOf))
{
}

void
WaylandSeat::Attach(wl_seat* seat)
{
	fConnection->seat = seat;
	wl_seat_add_listener(seat, &kSeatListener, this);
}

WaylandSeat::~WaylandSeat()
{
	if (fPointer != nullptr)
		wl_pointer_destroy(fPointer);
	if (fWlKeyboard != nullptr)
		wl_keyboard_destroy(fWlKeyboard);
	if (fCursorSurface != nullptr)
		wl_surface_destroy(fCursorSurface);
	if (fCursorTheme != nullptr)
		wl_cursor_theme_destroy(fCursorTheme);
}

BPoint
WaylandSeat::Location() const
{
	if (fPointerWindow == nullptr)
		return fWhere;
	return fPointerWindow->Frame().LeftTop() + fWhere;
}

void
WaylandSeat::Forget(WaylandWindow* window)
{
	if (fPointerWindow == window)
		fPointerWindow = nullptr;
	if (fKeyWindow == window) {
		fKeyWindow = nullptr;
		fKeyboard.Leave();
	}
}

void
WaylandSeat::Capabilities(uint32 capabilities)
{
	const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
	const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
	if (pointer && fPointer == nullptr) {
		fPointer = wl_seat_get_pointer(fConnection->seat);
		wl_pointer_add_listener(fPointer, &kPointerListener, this);
	} else if (!pointer && fPointer != nullptr) {
		wl_pointer_destroy(fPointer);
		fPointer = nullptr;
		fPointerWindow = nullptr;
	}
	if (keyboard && fWlKeyboard == nullptr) {
		fWlKeyboard = wl_seat_get_keyboard(fConnection->seat);
		wl_keyboard_add_listener(fWlKeyboard, &kKeyboardListener, this);
	} else if (!keyboard && fWlKeyboard != nullptr) {
		wl_keyboard_destroy(fWlKeyboard);
		fWlKeyboard = nullptr;
		fKeyWindow = nullptr;
		fKeyboard.Leave();
	}
}

BackendEvent
WaylandSeat::_PointerEvent(BackendEvent::Type type) const
{
	BackendEvent event;
	event.type = type;
	event.window = fPointerWindow->Id();
	event.where = BPoint(std::floor(fWhere.x), std::floor(fWhere.y));
	event.screenWhere = fPointerWindow->Frame().LeftTop() + event.where;
	event.buttons = fButtons;
	event.modifiers = fKeyboard.Modifiers();
	return event;
}

void
WaylandSeat::PointerEnter(uint32 serial, wl_surface* surface, double x, double y)
{
	fPointerWindow = fWindowOf(surface);
	fWhere = BPoint((float)x, (float)y);
	// Other surfaces are libdecor's title bars, which set their own cursors.
	if (fPointerWindow == nullptr)
		return;
	_SetCursor(serial);
	fConnection->pending->push_back(_PointerEvent(BackendEvent::kMouseMoved));
}

void
WaylandSeat::PointerLeave(wl_surface* surface)
{
	if (fPointerWindow != nullptr && fPointerWindow->Surface() == surface)
		fPointerWindow = nullptr;
}

void
WaylandSeat::PointerMotion(uint32, double x, double y)
{
	fWhere = BPoint((float)x, (float)y);
	if (fPointerWindow != nullptr)
		fConnection->pending->push_back(_PointerEvent(BackendEvent::kMouseMoved));
}

void
WaylandSeat::PointerButton(uint32 serial, uint32 time, uint32 button, bool pressed)
{
	// A grab needs the serial of a press; a release's is refused.
	if (pressed)
		fConnection->inputSerial = serial;
	const uint32 mask = ButtonMask(button);
	if (mask == 0)
		return;
	// The compositor moves the window and keeps the release: the button never counts as held.
	if (pressed && fPointerWindow != nullptr && fButtons == 0
		&& PressMovesWindow(fPointerWindow->IsDecorated(), fPointerWindow->IsPopup(), mask,
			fKeyboard.Modifiers())
		&& fPointerWindow->BeginMove(serial))
		return;
	if (pressed)
		fButtons |= mask;
	else
		fButtons &= ~mask;
	if (fPointerWindow == nullptr)
		return;
	BackendEvent event = _PointerEvent(pressed ? BackendEvent::kMouseDown : BackendEvent::kMouseUp);
	if (pressed) {
		Click& last = fLastClick;
		const BPoint where = event.screenWhere;
		const bool again = last.button == mask && time - last.time <= kDoubleClickTime
			&& std::fabs(where.x - last.where.x) <= kDoubleClickDistance
			&& std::fabs(where.y - last.where.y) <= kDoubleClickDistance;
		last.count = again ? last.count + 1 : 1;
		last.button = mask;
		last.time = time;
		last.where = where;
		event.clicks = last.count;
	}
	fConnection->pending->push_back(event);
}

void
WaylandSeat::_SetCursor(uint32 serial)
{
	if (fPointer == nullptr || fConnection->shm == nullptr)
		return;
	// At the scale of the output under the pointer: the theme is loaded again at another.
	WaylandScaleSurface* over = fPointerWindow != nullptr ? fPointerWindow->ScaleSurface()
														  : nullptr;
	const int32 scale = over != nullptr ? over->CursorScale() : fConnection->scale.Ceiling();
	if (fCursorTheme != nullptr && scale != fCursorScale) {
		wl_cursor_theme_destroy(fCursorTheme);
		fCursorTheme = nullptr;
	}
	if (fCursorTheme == nullptr) {
		fCursorScale = scale;
		int size = kCursorSize;
		if (const char* text = getenv("XCURSOR_SIZE")) {
			const int asked = atoi(text);
			if (asked > 0 && asked <= 256)
				size = asked;
		}
		fCursorTheme = wl_cursor_theme_load(getenv("XCURSOR_THEME"), size * scale,
			fConnection->shm);
		if (fCursorSurface == nullptr)
			fCursorSurface = wl_compositor_create_surface(fConnection->compositor);
	}
	wl_cursor* cursor = fCursorTheme != nullptr
		? wl_cursor_theme_get_cursor(fCursorTheme, "left_ptr")
		: nullptr;
	if (cursor == nullptr && fCursorTheme != nullptr)
		cursor = wl_cursor_theme_get_cursor(fCursorTheme, "default");
	if (cursor == nullptr || cursor->image_count == 0 || fCursorSurface == nullptr)
		return;
	wl_cursor_image* image = cursor->images[0];
	wl_buffer* buffer = wl_cursor_image_get_buffer(image);
	if (buffer == nullptr)
		return;
	wl_surface_set_buffer_scale(fCursorSurface, scale);
	wl_surface_attach(fCursorSurface, buffer, 0, 0);
	wl_surface_damage_buffer(fCursorSurface, 0, 0, (int32)image->width, (int32)image->height);
	wl_surface_commit(fCursorSurface);
	wl_pointer_set_cursor(fPointer, serial, fCursorSurface, (int32)image->hotspot_x / scale,
		(int32)image->hotspot_y / scale);
}

void
WaylandSeat::KeyboardKeymap(uint32 format, int fd, uint32 size)
{
	if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
		void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
		if (text != MAP_FAILED) {
			// The text ends with its terminating zero inside size.
			if (static_cast<const char*>(text)[size - 1] == '\0'
				&& !fKeyboard.SetKeymap(static_cast<const char*>(text)))
				fprintf(stderr, "kit: the compositor's keymap does not compile; keys kept\n");
			munmap(text, size);
		}
	}
	close(fd);
}

void
WaylandSeat::KeyboardEnter(uint32 serial, wl_surface* surface, const std::vector<uint32>& keys)
{
	fConnection->inputSerial = serial;
	fKeyWindow = fWindowOf(surface);
	fKeyboard.Enter(keys);
}

void
WaylandSeat::KeyboardLeave(wl_surface* surface)
{
	if (fKeyWindow != nullptr && fKeyWindow->Surface() == surface)
		fKeyWindow = nullptr;
	fKeyboard.Leave();
}

void
WaylandSeat::KeyboardKey(uint32 serial, uint32 key, bool pressed)
{
	if (pressed)
		fConnection->inputSerial = serial;
	if (fKeyWindow == nullptr)
		return;
	fKeyboard.Key(key, pressed, fKeyWindow->Id(), NowUs(), fConnection->pending);
}

void
WaylandSeat::KeyboardModifiers(uint32 depressed, uint32 latched, uint32 locked, uint32 group)
{
	fKeyboard.SetModifiers(depressed, latched, locked, group);
}

} // namespace BPrivate
