// The module's two entry points: joining the AT-SPI bus through ATK's bridge, and leaving it.
// Everything else in the module is hidden; the kit finds these two with dlsym.
#include <atk-bridge.h>
#include <atk/atk.h>
#include <stdio.h>

#include <memory>

#include "AccessibilityModule.h"
#include "AtkEventBridge.h"
#include "AtkNodeObject.h"
#include "AtkRoot.h"
#include "GLibLoopWatcher.h"

#define KAMBOLUX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

BPrivate::AccessibilityHost* sHost = nullptr;
std::unique_ptr<KamboAtk::AtkEventBridge> sListener;
std::unique_ptr<KamboAtk::GLibLoopWatcher> sWatcher;
guint sAnnounceSource = 0;
// The bridge learns from the registry which events clients listen to only after it started;
// until then it drops what it is told.
const guint kAnnounceDelayMs = 500;

void
Leave()
{
	if (sHost == nullptr)
		return;
	if (sAnnounceSource != 0) {
		g_source_remove(sAnnounceSource);
		sAnnounceSource = 0;
	}
	sHost->SetListener(nullptr);
	if (sWatcher != nullptr)
		sHost->RemoveWatcher(sWatcher.get());
	KamboAtk::ForgetAll();
	KamboAtk::SetRoot(nullptr, nullptr);
	sWatcher.reset();
	sListener.reset();
	sHost = nullptr;
}

} // namespace

KAMBOLUX_EXPORT int
kambolux_accessibility_start(BPrivate::AccessibilityHost* host)
{
	if (host == nullptr) {
		fprintf(stderr, "kambolux-atk: no host\n");
		return 1;
	}
	if (sHost != nullptr)
		return sHost == host ? 0 : 1;
	BPrivate::AccessibleNode* root = host->Root();
	if (root == nullptr) {
		fprintf(stderr, "kambolux-atk: the program has no accessible tree\n");
		return 1;
	}
	if (g_get_prgname() == nullptr)
		g_set_prgname("kambolux");

	sHost = host;
	// The bridge asks ATK for the root and connects to AtkWindow's signals while it starts.
	KamboAtk::SetRoot(root, host->Version());
	g_type_ensure(ATK_TYPE_WINDOW);
	sListener = std::make_unique<KamboAtk::AtkEventBridge>();
	host->SetListener(sListener.get());
	KamboAtk::ObjectFor(root);

	if (atk_bridge_adaptor_init(nullptr, nullptr) != 0) {
		fprintf(stderr, "kambolux-atk: cannot reach the accessibility bus\n");
		Leave();
		return 1;
	}
	sWatcher = std::make_unique<KamboAtk::GLibLoopWatcher>(g_main_context_default());
	host->AddWatcher(sWatcher.get());
	// The program's window was active and focused before the module came: say so once.
	sAnnounceSource = g_timeout_add(
		kAnnounceDelayMs,
		[](gpointer) -> gboolean {
			sAnnounceSource = 0;
			if (sHost != nullptr && sListener != nullptr)
				sListener->AnnounceCurrent(sHost->Root());
			return G_SOURCE_REMOVE;
		},
		nullptr);
	return 0;
}

KAMBOLUX_EXPORT void
kambolux_accessibility_stop(void)
{
	if (sHost == nullptr)
		return;
	atk_bridge_adaptor_cleanup();
	Leave();
}
