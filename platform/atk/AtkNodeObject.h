// The ATK side of one accessible node: a GObject (an AtkObject subclass) that wraps a kit
// AccessibleNode and answers ATK's calls from it. Each node gets one object, made on first
// use and kept in a table until the node reports kDestroyed; then the object turns defunct
// and forgets the node. The object's GType implements only the interfaces the node has, so a
// client asking a plain panel for its text is told it has none.
#pragma once

#include <atk/atk.h>

namespace BPrivate {
class AccessibleNode;
class AccessibleText;
} // namespace BPrivate

namespace KamboAtk {

// The node's object, made on first use; the table keeps the reference (do not unref).
// nullptr for a null node.
AtkObject* ObjectFor(BPrivate::AccessibleNode* node);
// The object of a node that has one already, else nullptr (events about nodes nobody has
// asked for need no object).
AtkObject* ExistingObjectFor(BPrivate::AccessibleNode* node);
// The node behind an object of ours; nullptr when it is defunct or not ours.
BPrivate::AccessibleNode* NodeOf(gpointer object);
// The node's text interface, nullptr when there is none or the node is gone.
BPrivate::AccessibleText* TextOf(gpointer object);
// The node is going: its object turns defunct and leaves the table.
void Forget(BPrivate::AccessibleNode* node);
// Every object turns defunct (the module stops).
void ForgetAll();
// How many live objects the table holds (tests).
int CountObjects();

// The interfaces a node's object implements, as bits.
enum {
	kInterfaceAction = 1 << 0,
	kInterfaceText = 1 << 1, // AtkText and AtkEditableText
	kInterfaceHypertext = 1 << 2,
	kInterfaceWindow = 1 << 3,
};
int InterfacesOf(BPrivate::AccessibleNode* node);
GType TypeFor(int interfaces);

// Interface set-up, one per file.
void InitComponent(AtkComponentIface* iface);
void InitAction(AtkActionIface* iface);
void InitText(AtkTextIface* iface);
void InitEditableText(AtkEditableTextIface* iface);
void InitHypertext(AtkHypertextIface* iface);

// ATK returns many strings borrowed from the object: this keeps one under key until the next
// call with the same key (or the object's end) and returns it.
const gchar* Keep(gpointer object, const char* key, const char* text);

// The top-level node (a window) a node lies in; the node itself for a window, nullptr for the
// application.
BPrivate::AccessibleNode* WindowOf(BPrivate::AccessibleNode* node);

} // namespace KamboAtk
