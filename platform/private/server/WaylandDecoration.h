// How a Wayland window gets its title bar and border, and what it really has: drawn by the
// compositor through xdg-decoration where it offers that, else by libdecor in the program
// (WaylandLibdecor, opened only then), else by nobody. WaylandDecoration is one toplevel's
// side of it; the decisions are free functions so that the tests need no compositor.
#pragma once

#include <functional>

#include "SupportDefs.h"

struct xdg_toplevel;
struct zxdg_decoration_manager_v1;
struct zxdg_toplevel_decoration_v1;

namespace BPrivate {

enum class DecorationPath {
	kServerSide, // the compositor draws them (xdg-decoration)
	kLibdecor,   // libdecor draws them around the program's surface
	kNone,       // nobody: the windows have no title bar at all
};

// The compositor's offer decides. openLibdecor is called only without xdg-decoration: where
// the compositor draws title bars, libdecor would only ask it to, and costs its libraries.
DecorationPath ChooseDecorationPath(bool offersXdgDecoration,
	const std::function<bool()>& openLibdecor);

// Whether a toplevel has a title bar. On the server-side path the compositor's last
// configure says (it may insist on a mode); until it has said one, and on the libdecor path,
// what the program asked for; on the path with none, never.
struct DecorationState {
	DecorationPath path = DecorationPath::kNone;
	bool wanted = true;
	int8 configuredServerSide = -1; // -1: no configure yet, else 0 or 1

	bool Titled() const;
};

// Whether a press moves the window instead of reaching the program: the primary button with
// Alt (not Ctrl+Alt) on a toplevel without a title bar, which has nothing else to take.
bool PressMovesWindow(bool titled, bool popup, uint32 buttons, uint32 modifiers);

class WaylandDecoration {
public:
	WaylandDecoration(DecorationPath path, bool titled);
	~WaylandDecoration();
	WaylandDecoration(const WaylandDecoration&) = delete;
	WaylandDecoration& operator=(const WaylandDecoration&) = delete;

	// A toplevel before its first commit: on the server-side path, asks for the mode.
	void Attach(zxdg_decoration_manager_v1* manager, xdg_toplevel* toplevel);
	// Before the toplevel goes, as the protocol orders; the next one negotiates afresh.
	void Detach();
	void SetWanted(bool titled);
	bool Titled() const { return fState.Titled(); }
	DecorationPath Path() const { return fState.path; }

	// zxdg_toplevel_decoration_v1.configure.
	void Configured(uint32 mode);

private:
	void _AskMode();

	DecorationState fState;
	zxdg_toplevel_decoration_v1* fDecoration = nullptr;
};

} // namespace BPrivate
