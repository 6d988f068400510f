// The X11 backend's paste of texts that arrive in pieces (INCR) past the largest answer it
// keeps: another client on a connection of its own is the clipboard's owner.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <poll.h>
#include <string>
#include <thread>

#include "X11Clipboard.h"
#include "x11_backend_fixture.h"

namespace {

const size_t kMiB = 1024 * 1024;

// Hands out total bytes in pieces, announcing announced: '1' up to the largest answer the
// backend keeps, '7' after it, so a paste taken from past the mark shows. It serves from a
// thread and a connection of its own, as another program would, without waiting for the loop.
class PieceOwner {
public:
	PieceOwner(size_t announced, size_t total) :
		fDisplay(XOpenDisplay(nullptr)),
		fAnnounced(announced),
		fTotal(total)
	{
		if (fDisplay == nullptr)
			return;
		fIncr = XInternAtom(fDisplay, "INCR", False);
		fUTF8 = XInternAtom(fDisplay, "UTF8_STRING", False);
		fWindow = XCreateSimpleWindow(fDisplay, DefaultRootWindow(fDisplay), 0, 0, 1, 1, 0, 0, 0);
		XSetSelectionOwner(fDisplay, XInternAtom(fDisplay, "CLIPBOARD", False), fWindow,
			CurrentTime);
		XSync(fDisplay, False);
		fThread = std::thread([this]() { _Serve(); });
	}

	~PieceOwner()
	{
		fStop = true;
		if (fThread.joinable())
			fThread.join();
		if (fDisplay != nullptr)
			XCloseDisplay(fDisplay);
	}

	bool IsValid() const { return fDisplay != nullptr; }
	// Whether the requester took the empty piece that ends the transfer.
	bool Finished() const { return fFinished; }

private:
	void _Serve()
	{
		while (!fStop && !fFinished) {
			pollfd connection{ConnectionNumber(fDisplay), POLLIN, 0};
			if (XPending(fDisplay) == 0)
				poll(&connection, 1, 50);
			while (XPending(fDisplay) > 0) {
				XEvent event;
				XNextEvent(fDisplay, &event);
				if (event.type == SelectionRequest)
					_Announce(event.xselectionrequest);
				else if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete
					&& event.xproperty.window == fRequestor && event.xproperty.atom == fProperty)
					_SendPiece();
			}
		}
	}

	void _Announce(const XSelectionRequestEvent& request)
	{
		fRequestor = request.requestor;
		fProperty = request.property;
		XSelectInput(fDisplay, fRequestor, PropertyChangeMask);
		long size = (long)fAnnounced;
		XChangeProperty(fDisplay, fRequestor, fProperty, fIncr, 32, PropModeReplace,
			reinterpret_cast<unsigned char*>(&size), 1);
		XEvent reply{};
		reply.xselection.type = SelectionNotify;
		reply.xselection.requestor = fRequestor;
		reply.xselection.selection = request.selection;
		reply.xselection.target = request.target;
		reply.xselection.property = fProperty;
		reply.xselection.time = request.time;
		XSendEvent(fDisplay, fRequestor, False, NoEventMask, &reply);
		XFlush(fDisplay);
	}

	void _SendPiece()
	{
		if (fSent > fTotal) {
			fFinished = true;
			return;
		}
		const size_t length = std::min(kPiece, fTotal - fSent);
		std::string piece(length, '1');
		for (size_t i = 0; i < length; i++) {
			if (fSent + i >= X11Clipboard::kLargestAnswer)
				piece[i] = '7';
		}
		XChangeProperty(fDisplay, fRequestor, fProperty, fUTF8, 8, PropModeReplace,
			reinterpret_cast<const unsigned char*>(piece.data()), (int)length);
		XFlush(fDisplay);
		fSent += length > 0 ? length : 1;
	}

	static constexpr size_t kPiece = 256 * 1024;
	Display* fDisplay;
	size_t fAnnounced;
	size_t fTotal;
	Atom fIncr = None;
	Atom fUTF8 = None;
	Window fWindow = 0;
	Window fRequestor = 0;
	Atom fProperty = None;
	size_t fSent = 0;
	std::atomic<bool> fFinished{false};
	std::atomic<bool> fStop{false};
	std::thread fThread;
};

} // namespace

// Past the largest answer nothing is pasted, however the owner announced it, and the
// transfer is still taken to its end so the owner is not left waiting; up to it, all is.
TEST_F(X11Display, APasteLargerThanTheLargestAnswerIsReadToItsEndAndDropped)
{
	BackendWindow* window = Open("huge paste");
	ASSERT_TRUE(WaitActivated(window));
	const size_t largest = X11Clipboard::kLargestAnswer;
	struct Case {
		const char* what;
		size_t announced, total;
		size_t pasted;
	} cases[] = {
		{"announced as larger", largest + 6 * kMiB, largest + 6 * kMiB, 0},
		{"announced small, larger when sent", kMiB, largest + 6 * kMiB, 0},
		{"one byte too many", kMiB, largest + 1, 0},
		{"exactly the largest", kMiB, largest, largest},
	};
	// Outside the loop: an answer that comes late still has somewhere to go.
	bool answered = false;
	std::string answer, now;
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		PieceOwner owner(c.announced, c.total);
		ASSERT_TRUE(owner.IsValid());
		answered = false;
		answer = "unset";
		EXPECT_FALSE(fBackend->RequestClipboardText(&now, [&](const std::string& got) {
			answer = got;
			answered = true;
		}));
		Pump([&](const std::vector<BackendEvent>&) { return answered && owner.Finished(); },
			30000000);
		EXPECT_TRUE(answered);
		EXPECT_TRUE(owner.Finished());
		EXPECT_EQ(answer.size(), c.pasted);
		EXPECT_EQ(answer.find('7'), std::string::npos);
	}
}
