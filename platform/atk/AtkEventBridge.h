// The module's ear on the kit: turns AccessibleEvents into the ATK signals the AT-SPI bridge
// forwards, in the order screen readers expect (the old focus lost before the new one gained,
// a window activated before the focus inside it). Keeps no node pointer past its kDestroyed.
#pragma once

#include <atk/atk.h>
#include <glib.h>

#include <map>
#include <string>
#include <vector>

#include "AccessibleNode.h"

namespace KamboAtk {

class AtkEventBridge : public BPrivate::AccessibilityListener {
public:
	AtkEventBridge() = default;
	~AtkEventBridge() override;
	AtkEventBridge(const AtkEventBridge&) = delete;
	AtkEventBridge& operator=(const AtkEventBridge&) = delete;

	void Notify(const BPrivate::AccessibleEvent& event) override;
	// Tells what happened before the module was there: the active window's activation and the
	// focus inside it, so that a screen reader started first speaks where the user is.
	void AnnounceCurrent(BPrivate::AccessibleNode* root);

	BPrivate::AccessibleNode* Focus() const { return fFocus; }

private:
	void _Focus(BPrivate::AccessibleNode* node);
	void _StateChanged(BPrivate::AccessibleNode* node, uint64 states, bool on);
	void _TextInserted(BPrivate::AccessibleNode* node, const BPrivate::AccessibleEvent& event);
	void _FocusLinkAt(BPrivate::AccessibleNode* node, AtkObject* object, int32 offset);
	void _AnnounceLater(BPrivate::AccessibleNode* node);
	void _AnnouncePending();

	BPrivate::AccessibleNode* fFocus = nullptr;
	// Live results changed since the loop last went idle, and what each last said aloud:
	// one recomputation rewrites a result more than once, and the reader hears it once.
	std::vector<BPrivate::AccessibleNode*> fPendingAnnouncements;
	std::map<BPrivate::AccessibleNode*, std::string> fAnnounced;
	guint fAnnounceSource = 0;
};

} // namespace KamboAtk
