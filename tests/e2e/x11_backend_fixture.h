// What the X11 backend's tests against a real X server share: the fixture with a backend of
// its own and a loop to pump, and helpers to read what another client sees.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "Backend.h"
#include "ScratchFolder.h"
#include "SystemTime.h"

using namespace BPrivate;

// Runs a shell command without waiting for it; its pid.
inline pid_t
Start(const std::string& command)
{
	const char* arguments[] = {"sh", "-c", command.c_str(), nullptr};
	pid_t pid = -1;
	if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(arguments), environ) != 0)
		return -1;
	return pid;
}

inline std::string
ReadAll(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The X id of the window titled exactly title, as another client finds it (0: none).
inline Window
FindWindowElsewhere(const std::string& title)
{
	const std::string command = "xdotool search --name '^" + title + "$'";
	FILE* found = popen(command.c_str(), "r");
	if (found == nullptr)
		return 0;
	char line[64] = {};
	const bool read = fgets(line, sizeof(line), found) != nullptr;
	pclose(found);
	return read ? strtoul(line, nullptr, 10) : 0;
}

class X11Display : public testing::Test {
protected:
	void SetUp() override
	{
		if (getenv("DISPLAY") == nullptr)
			GTEST_SKIP() << "no display";
		fBackend = CreateX11Backend();
		ASSERT_NE(fBackend, nullptr);
	}

	void TearDown() override
	{
		fWindows.clear();
		fBackend.reset();
	}

	BackendWindow* Open(const char* title, BRect frame = BRect(100, 100, 299, 199),
		bool popup = false)
	{
		WindowSpec spec;
		spec.frame = frame;
		spec.title = title;
		spec.popupMenu = popup;
		std::unique_ptr<BackendWindow> window = fBackend->CreateWindow(spec);
		EXPECT_NE(window, nullptr);
		if (window == nullptr)
			return nullptr;
		window->Show();
		window->Activate();
		fWindows.push_back(std::move(window));
		return fWindows.back().get();
	}

	// Runs the backend's loop until done says so or the time is up; all events seen. An
	// exposed window gets a frame, as the kit would present one.
	std::vector<BackendEvent>
	Pump(const std::function<bool(const std::vector<BackendEvent>&)>& done,
		bigtime_t timeout = 5000000)
	{
		std::vector<BackendEvent> events;
		const bigtime_t deadline = system_time_us() + timeout;
		while (!done(events) && system_time_us() < deadline) {
			// As the application does once the user sees its first frame.
			if (!fAfterFirstFrame && fBackend->FrameShown()) {
				fAfterFirstFrame = true;
				fBackend->AfterFirstFrame();
			}
			BackendEvent event;
			if (!fBackend->WaitEvent(&event, 50))
				continue;
			events.push_back(event);
			if (event.type == BackendEvent::kExposed)
				_PresentTo(event.window);
		}
		return events;
	}

	bool WaitActivated(BackendWindow* window)
	{
		std::vector<BackendEvent> events = Pump([window](const std::vector<BackendEvent>& seen) {
			for (const BackendEvent& event : seen) {
				if (event.type == BackendEvent::kActivated && event.window == window->Id())
					return true;
			}
			return false;
		});
		return !events.empty() && events.back().type == BackendEvent::kActivated;
	}

	// Runs a command to its end while the loop goes on (it may talk to us meanwhile).
	int RunPumping(const std::string& command)
	{
		pid_t pid = Start(command);
		if (pid < 0)
			return -1;
		int status = -1;
		const bigtime_t deadline = system_time_us() + 10000000;
		while (system_time_us() < deadline) {
			if (waitpid(pid, &status, WNOHANG) == pid)
				return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
			BackendEvent event;
			fBackend->WaitEvent(&event, 20);
		}
		kill(pid, SIGKILL);
		waitpid(pid, &status, 0);
		return -1;
	}

	static std::string Typed(const std::vector<BackendEvent>& events)
	{
		std::string text;
		for (const BackendEvent& event : events) {
			if (event.type == BackendEvent::kKeyDown)
				text += std::string(event.bytes, event.numBytes);
		}
		return text;
	}

	void _PresentTo(uint32 id)
	{
		static const std::vector<uint32> kGrey(400 * 300, 0xffd8d8d8);
		for (auto& window : fWindows) {
			if (window->Id() == id)
				window->Present(reinterpret_cast<const uint8*>(kGrey.data()), 400, 300, 400 * 4);
		}
	}

	std::unique_ptr<Backend> fBackend;
	std::vector<std::unique_ptr<BackendWindow>> fWindows;
	bool fAfterFirstFrame = false;
};

// Runs a command that hands the clipboard to xclip, and waits until xclip owns it (it takes
// it only after it has gone into the background).
inline void
GiveClipboardToXclip(const std::string& command)
{
	Display* display = XOpenDisplay(nullptr);
	ASSERT_NE(display, nullptr);
	const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
	const Window before = XGetSelectionOwner(display, clipboard);
	ASSERT_EQ(system(command.c_str()), 0);
	const bigtime_t deadline = system_time_us() + 5000000;
	while (XGetSelectionOwner(display, clipboard) == before && system_time_us() < deadline)
		usleep(10000);
	EXPECT_NE(XGetSelectionOwner(display, clipboard), before);
	XCloseDisplay(display);
}

inline bool
Contains(const std::string& text, const std::string& part)
{
	return text.find(part) != std::string::npos;
}

// A property of a window as another client reads it: 32-bit items (atoms, cardinals, ids).
inline std::vector<long>
Property(Display* display, Window window, const char* name)
{
	Atom type = None;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	std::vector<long> values;
	if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 16, False,
			AnyPropertyType, &type, &format, &count, &after, &data)
			== Success
		&& format == 32) {
		const long* items = reinterpret_cast<const long*>(data);
		values.assign(items, items + count);
	}
	if (data != nullptr)
		XFree(data);
	return values;
}

inline bool
HasAtom(Display* display, const std::vector<long>& atoms, const char* name)
{
	const Atom atom = XInternAtom(display, name, False);
	for (long item : atoms) {
		if ((Atom)item == atom)
			return true;
	}
	return false;
}
