// BRoster::Launch hands web addresses to the backend and refuses everything else.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "HeadlessBackend.h"
#include "Roster.h"

using BPrivate::HeadlessBackend;

namespace {

class RefusingBackend : public HeadlessBackend {
public:
	status_t OpenURL(const char*) override { return B_ENTRY_NOT_FOUND; }
};

} // namespace

TEST(Roster, HandsWebAddressesToTheBackend)
{
	HeadlessBackend* backend = HeadlessBackend::Install();
	const char* http[] = {"http://example.org/a"};
	const char* https[] = {"https://example.org/b"};
	team_id team = 7;
	EXPECT_EQ(be_roster->Launch(B_URL_HTTP, 1, http, &team), B_OK);
	EXPECT_EQ(be_roster->Launch(B_URL_HTTPS, 1, https), B_OK);
	ASSERT_EQ(backend->LaunchedURLs().size(), 2u);
	EXPECT_EQ(backend->LaunchedURLs()[0], "http://example.org/a");
	EXPECT_EQ(backend->LaunchedURLs()[1], "https://example.org/b");

	// The non-const overload, as callers with a char* buffer use it.
	char buffer[] = "http://example.org/c";
	char* args[] = {buffer};
	EXPECT_EQ(be_roster->Launch(B_URL_HTTP, 1, args), B_OK);
	EXPECT_EQ(backend->LaunchedURLs().back(), "http://example.org/c");
}

TEST(Roster, RefusesWhatIsNoSingleWebAddress)
{
	HeadlessBackend* backend = HeadlessBackend::Install();
	const char* one[] = {"http://example.org/"};
	const char* two[] = {"http://example.org/", "http://example.org/x"};
	const char* none[] = {nullptr};
	struct Case {
		const char* mime;
		int argc;
		const char* const* args;
	} cases[] = {
		{"text/plain", 1, one},
		{"application/x-vnd.Be.URL.ftp", 1, one},
		{nullptr, 1, one},
		{B_URL_HTTP, 0, one},
		{B_URL_HTTP, 2, two},
		{B_URL_HTTP, -1, one},
		{B_URL_HTTP, 1, none},
		{B_URL_HTTP, 1, nullptr},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(std::string(c.mime ? c.mime : "(null)") + " argc " + std::to_string(c.argc));
		EXPECT_EQ(be_roster->Launch(c.mime, c.argc, c.args), B_BAD_VALUE);
	}
	EXPECT_TRUE(backend->LaunchedURLs().empty());
}

TEST(Roster, ReportsTheBackendsFailure)
{
	BPrivate::SetBackend(std::make_unique<RefusingBackend>());
	const char* args[] = {"http://example.org/"};
	EXPECT_EQ(be_roster->Launch(B_URL_HTTP, 1, args), B_ENTRY_NOT_FOUND);
	HeadlessBackend::Install();
}
