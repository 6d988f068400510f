#include "AtkRoot.h"

#include <string>

#include "AtkNodeObject.h"

namespace KamboAtk {

const char* const kToolkitName = "Kambo-Lux kit";

namespace {

BPrivate::AccessibleNode* sRoot = nullptr;
std::string sVersion;

AtkObject*
GetRoot()
{
	return ObjectFor(sRoot);
}

const gchar*
GetToolkitName()
{
	return kToolkitName;
}

const gchar*
GetToolkitVersion()
{
	return sVersion.c_str();
}

} // namespace

void
SetRoot(BPrivate::AccessibleNode* root, const char* version)
{
	sRoot = root;
	sVersion = version != nullptr ? version : "";
	// The class stays referenced: ATK reads the overrides from it for the life of the process.
	static auto* sClass = static_cast<AtkUtilClass*>(g_type_class_ref(ATK_TYPE_UTIL));
	sClass->get_root = GetRoot;
	sClass->get_toolkit_name = GetToolkitName;
	sClass->get_toolkit_version = GetToolkitVersion;
}

} // namespace KamboAtk
