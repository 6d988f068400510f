#include "X11Atoms.h"

#include <iterator>

namespace BPrivate {

namespace {

struct AtomName {
	Atom X11Atoms::*atom;
	const char* name;
};

const AtomName kAtomNames[] = {
	{&X11Atoms::wmProtocols, "WM_PROTOCOLS"},
	{&X11Atoms::wmDeleteWindow, "WM_DELETE_WINDOW"},
	{&X11Atoms::wmClientLeader, "WM_CLIENT_LEADER"},
	{&X11Atoms::wmPing, "_NET_WM_PING"},
	{&X11Atoms::wmPid, "_NET_WM_PID"},
	{&X11Atoms::wmName, "_NET_WM_NAME"},
	{&X11Atoms::wmIcon, "_NET_WM_ICON"},
	{&X11Atoms::wmUserTime, "_NET_WM_USER_TIME"},
	{&X11Atoms::wmState, "_NET_WM_STATE"},
	{&X11Atoms::wmStateAbove, "_NET_WM_STATE_ABOVE"},
	{&X11Atoms::wmStateModal, "_NET_WM_STATE_MODAL"},
	{&X11Atoms::wmStateSkipTaskbar, "_NET_WM_STATE_SKIP_TASKBAR"},
	{&X11Atoms::wmStateSkipPager, "_NET_WM_STATE_SKIP_PAGER"},
	{&X11Atoms::wmWindowType, "_NET_WM_WINDOW_TYPE"},
	{&X11Atoms::typeNormal, "_NET_WM_WINDOW_TYPE_NORMAL"},
	{&X11Atoms::typeDialog, "_NET_WM_WINDOW_TYPE_DIALOG"},
	{&X11Atoms::typeUtility, "_NET_WM_WINDOW_TYPE_UTILITY"},
	{&X11Atoms::typePopupMenu, "_NET_WM_WINDOW_TYPE_POPUP_MENU"},
	{&X11Atoms::motifHints, "_MOTIF_WM_HINTS"},
	{&X11Atoms::frameExtents, "_NET_FRAME_EXTENTS"},
	{&X11Atoms::requestFrameExtents, "_NET_REQUEST_FRAME_EXTENTS"},
	{&X11Atoms::activeWindow, "_NET_ACTIVE_WINDOW"},
	{&X11Atoms::supportingWMCheck, "_NET_SUPPORTING_WM_CHECK"},
	{&X11Atoms::supported, "_NET_SUPPORTED"},
	{&X11Atoms::icccmState, "WM_STATE"},
	{&X11Atoms::utf8String, "UTF8_STRING"},
	{&X11Atoms::clipboard, "CLIPBOARD"},
	{&X11Atoms::targets, "TARGETS"},
	{&X11Atoms::text, "TEXT"},
	{&X11Atoms::incr, "INCR"},
	{&X11Atoms::selectionProperty, "KAMBOLUX_SELECTION"},
	{&X11Atoms::startupInfoBegin, "_NET_STARTUP_INFO_BEGIN"},
	{&X11Atoms::startupInfo, "_NET_STARTUP_INFO"},
	{&X11Atoms::startupId, "_NET_STARTUP_ID"},
};

} // namespace

bool
X11Atoms::Intern(Display* display)
{
	constexpr int kCount = (int)std::size(kAtomNames);
	char* names[kCount];
	Atom atoms[kCount];
	for (int i = 0; i < kCount; i++)
		names[i] = const_cast<char*>(kAtomNames[i].name);
	if (XInternAtoms(display, names, kCount, False, atoms) == 0)
		return false;
	for (int i = 0; i < kCount; i++)
		this->*kAtomNames[i].atom = atoms[i];
	return true;
}

} // namespace BPrivate
