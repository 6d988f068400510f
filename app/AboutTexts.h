// The maker's texts: the short one for the application's info alert, the long one for the
// about window, whose two link ranges are fixed character offsets into it.
#pragma once

#include <string_view>

#define KAMBO_SITE "http://www.dorvanix.example/"
#define KAMBO_APP_PAGE "http://www.dorvanix.example/app/be"

constexpr const char* kSiteAddress = KAMBO_SITE;
constexpr const char* kAppPageAddress = KAMBO_APP_PAGE;

constexpr const char* kShortAboutText = "ZQ-Kambo-Lux\n\nDorvanix Software\n" KAMBO_SITE
										"\n\nVersion 1.1";
constexpr const char* kLongAboutText = "ZQ-Kambo-Lux\n\nDorvanix Software\n" KAMBO_SITE
									   "\n" KAMBO_APP_PAGE "\n\nVersion 1.1";

#undef KAMBO_SITE
#undef KAMBO_APP_PAGE

// Where the two addresses stand in the long text, in bytes (all of it is ASCII).
constexpr int32_t kSiteOffset = 32;
constexpr int32_t kSiteLength = 28;
constexpr int32_t kAppPageOffset = 61;
constexpr int32_t kAppPageLength = 34;

static_assert(std::string_view(kSiteAddress).size() == kSiteLength);
static_assert(std::string_view(kAppPageAddress).size() == kAppPageLength);
static_assert(std::string_view(kLongAboutText).size() == 108);
static_assert(std::string_view(kLongAboutText).substr(kSiteOffset, kSiteLength)
	== std::string_view(kSiteAddress));
static_assert(std::string_view(kLongAboutText).substr(kAppPageOffset, kAppPageLength)
	== std::string_view(kAppPageAddress));
static_assert(std::string_view(kAppPageAddress).ends_with("/be"));
