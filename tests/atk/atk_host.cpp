// A stand-in program for the screen-reader module on a real bus: it builds the fake converter
// tree, opens the module with dlopen as the kit does, hands it a host and runs a poll loop
// that serves the module's descriptors. Actions open the pad (19 keys) and the about window;
// editing the amount recomputes the two result lines. SIGTERM stops the module and quits.
//
//   atk_host /path/to/kambolux-atk.so
#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "AccessibilityModule.h"
#include "FakeTree.h"

using namespace KamboAtkTest;
using BPrivate::AccessibleEvent;

namespace {

volatile sig_atomic_t sQuit = 0;

class TestHost : public BPrivate::AccessibilityHost {
public:
	explicit TestHost(BPrivate::AccessibleNode* root) : fRoot(root) {}

	BPrivate::AccessibleNode* Root() override { return fRoot; }
	void SetListener(BPrivate::AccessibilityListener* listener) override { fListener = listener; }
	void AddWatcher(BPrivate::DescriptorWatcher* watcher) override { fWatchers.push_back(watcher); }
	void RemoveWatcher(BPrivate::DescriptorWatcher* watcher) override
	{
		fWatchers.erase(std::remove(fWatchers.begin(), fWatchers.end(), watcher), fWatchers.end());
	}
	const char* Version() override { return "1.1.0"; }

	void Tell(AccessibleEvent::Type type, BPrivate::AccessibleNode* node, int32 index = -1,
		BPrivate::AccessibleNode* child = nullptr)
	{
		if (fListener == nullptr)
			return;
		AccessibleEvent event;
		event.type = type;
		event.node = node;
		event.index = index;
		event.child = child;
		fListener->Notify(event);
	}

	BPrivate::AccessibleNode* fRoot;
	BPrivate::AccessibilityListener* fListener = nullptr;
	std::vector<BPrivate::DescriptorWatcher*> fWatchers;
	std::vector<std::function<void()>> fQueue;
};

const char* const kPadKeys[19] = {"C", "/", "*", "-", "7", "8", "9", "+", "4", "5", "6", "1", "2",
	"3", "=", "0", ".", "CE", "<-"};

class Program {
public:
	Program() : fHost(fTree.application.get())
	{
		for (FakeNode* text : {fTree.amount, fTree.euroLine, fTree.result})
			text->fText->fNode = text;
		fTree.amount->fText->fChanged = [this] { _Calculate(); };
		fTree.calculatorButton->fOnAction = [this](int32) {
			fHost.fQueue.push_back([this] { _OpenWindow(_MakePad()); });
		};
		fTree.aboutButton->fOnAction = [this](int32) {
			fHost.fQueue.push_back([this] { _OpenWindow(_MakeAbout()); });
		};
		fTree.amount->fOnFocus = [this] {
			fHost.fQueue.push_back([this] {
				fTree.amount->fStates |= B_STATE_FOCUSED;
				fHost.Tell(AccessibleEvent::kFocused, fTree.amount);
			});
		};
	}

	int Run(const char* modulePath)
	{
		void* module = dlopen(modulePath, RTLD_NOW | RTLD_LOCAL);
		if (module == nullptr) {
			fprintf(stderr, "atk_host: %s\n", dlerror());
			return 1;
		}
		auto start = reinterpret_cast<kambolux_accessibility_start_fn>(
			dlsym(module, KAMBOLUX_ACCESSIBILITY_START));
		auto stop = reinterpret_cast<kambolux_accessibility_stop_fn>(
			dlsym(module, KAMBOLUX_ACCESSIBILITY_STOP));
		if (start == nullptr || stop == nullptr || start(&fHost) != 0) {
			fprintf(stderr, "atk_host: the module did not start\n");
			return 1;
		}
		for (FakeNode* text : {fTree.amount, fTree.euroLine, fTree.result})
			text->fText->fListener = fHost.fListener;
		printf("ready\n");
		fflush(stdout);

		while (!sQuit) {
			std::vector<pollfd> descriptors;
			int32 timeout = -1;
			for (BPrivate::DescriptorWatcher* watcher : fHost.fWatchers) {
				int32 limit = watcher->Prepare(&descriptors);
				if (limit >= 0 && (timeout < 0 || limit < timeout))
					timeout = limit;
			}
			// A signal ends the wait; the bound only keeps a lost signal from hanging.
			poll(descriptors.data(), descriptors.size(), timeout < 0 ? 1000 : timeout);
			for (BPrivate::DescriptorWatcher* watcher : fHost.fWatchers)
				watcher->Dispatch(descriptors);
			std::vector<std::function<void()>> queue;
			queue.swap(fHost.fQueue);
			for (auto& job : queue)
				job();
		}
		stop();
		// What the bus asked for that the test cannot see otherwise.
		if (fAbout != nullptr) {
			printf("links opened:");
			for (int32 index : fAbout->fText->fActivatedLinks)
				printf(" %d", int(index));
			printf("\n");
		}
		if (!fHost.fWatchers.empty() || fHost.fListener != nullptr) {
			fprintf(stderr, "atk_host: the module left its watcher or listener behind\n");
			return 1;
		}
		return 0;
	}

private:
	void _Calculate()
	{
		double amount = atof(fTree.amount->fText->fContents.c_str());
		char euro[64];
		snprintf(euro, sizeof euro, "%.6f . . .", amount / 1.95583);
		char result[64];
		snprintf(result, sizeof result, "%.2f", amount);
		fTree.euroLine->fText->Replace(euro);
		fTree.result->fText->Replace(result);
	}

	std::unique_ptr<FakeNode> _MakePad()
	{
		auto pad = MakeNode(B_ROLE_FRAME, "Taschenrechner");
		pad->fBounds = BRect(100, 300, 300, 500);
		for (const char* key : kPadKeys) {
			FakeNode* button = pad->Add(MakeNode(B_ROLE_PUSH_BUTTON, key,
				B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING | B_STATE_FOCUSABLE));
			button->fActions = {"press"};
		}
		return pad;
	}

	std::unique_ptr<FakeNode> _MakeAbout()
	{
		auto about = MakeNode(B_ROLE_DIALOG, "Über ZQ Kambo-Lux",
			B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING | B_STATE_MODAL);
		auto text = MakeTextNode("", "Kurse: www.euro.example\nProgramm: www.kambo.example", false);
		text->fText->fLinks = {{7, 23, "https://www.euro.example/"},
			{34, 50, "https://www.kambo.example/"}};
		fAbout = about->Add(std::move(text));
		FakeNode* ok = about->Add(MakeNode(B_ROLE_PUSH_BUTTON, "OK",
			B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING | B_STATE_FOCUSABLE
				| B_STATE_DEFAULT));
		ok->fActions = {"press"};
		return about;
	}

	// As the kit tells a new window: a child of the application, shown, activated (the old
	// window deactivated), and the focus on its first control.
	void _OpenWindow(std::unique_ptr<FakeNode> window)
	{
		FakeNode* app = fTree.application.get();
		FakeNode* added = app->Add(std::move(window));
		fHost.Tell(AccessibleEvent::kChildAdded, app, added->IndexInParent(), added);
		fHost.Tell(AccessibleEvent::kWindowShown, added);
		fTree.frame->fStates &= ~B_STATE_ACTIVE;
		fHost.Tell(AccessibleEvent::kWindowDeactivated, fTree.frame);
		added->fStates |= B_STATE_ACTIVE;
		fHost.Tell(AccessibleEvent::kWindowActivated, added);
		for (auto& child : added->fChildren) {
			if ((child->fStates & B_STATE_FOCUSABLE) != 0) {
				child->fStates |= B_STATE_FOCUSED;
				fHost.Tell(AccessibleEvent::kFocused, child.get());
				break;
			}
		}
	}

	ConverterTree fTree;
	TestHost fHost;
	FakeNode* fAbout = nullptr;
};

} // namespace

int
main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: atk_host MODULE\n");
		return 2;
	}
	struct sigaction action = {};
	action.sa_handler = [](int) { sQuit = 1; };
	sigaction(SIGTERM, &action, nullptr);
	sigaction(SIGINT, &action, nullptr);
	Program program;
	return program.Run(argv[1]);
}
