// Handing a web address to the desktop: the opener found on PATH gets the address, gio
// stands in where xdg-utils is missing, and no opener at all is an error said aloud.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ScratchFolder.h"
#include "X11Launch.h"

using namespace BPrivate;

namespace {

// A scratch PATH holding fake openers that write their arguments to a file; restores PATH.
class OpenerPath : public testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fScratch.IsValid());
		fDir = fScratch.Path();
		fScratch.SetEnv("PATH", fDir);
	}

	void AddOpener(const std::string& name)
	{
		const std::string path = fDir + "/" + name;
		std::ofstream script(path);
		script << "#!/bin/sh\necho " << name << " \"$@\" > '" << fDir << "/called'\n";
		script.close();
		ASSERT_EQ(chmod(path.c_str(), 0755), 0);
	}

	// What the opener that ran was called with, once it has ended.
	std::string Called(pid_t child)
	{
		int status = 0;
		EXPECT_EQ(waitpid(child, &status, 0), child);
		std::ifstream file(fDir + "/called");
		std::stringstream text;
		text << file.rdbuf();
		return text.str();
	}

	ScratchFolder fScratch{"kambo-opener"};
	std::string fDir;
};

} // namespace

TEST_F(OpenerPath, PrefersXdgOpen)
{
	AddOpener("xdg-open");
	AddOpener("gio");
	pid_t child = -1;
	ASSERT_EQ(SpawnURLOpener("https://www.dorvanix.example/", &child), B_OK);
	EXPECT_EQ(Called(child), "xdg-open https://www.dorvanix.example/\n");
}

TEST_F(OpenerPath, FallsBackToGioWithoutXdgUtils)
{
	AddOpener("gio");
	pid_t child = -1;
	ASSERT_EQ(SpawnURLOpener("https://www.dorvanix.example/a b", &child), B_OK);
	EXPECT_EQ(Called(child), "gio open https://www.dorvanix.example/a b\n");
}

TEST_F(OpenerPath, SaysWhenNoOpenerIsInstalled)
{
	pid_t child = -1;
	testing::internal::CaptureStderr();
	EXPECT_EQ(SpawnURLOpener("https://www.dorvanix.example/", &child), B_ENTRY_NOT_FOUND);
	const std::string said = testing::internal::GetCapturedStderr();
	EXPECT_NE(said.find("xdg-open"), std::string::npos) << said;
	EXPECT_NE(said.find("gio"), std::string::npos) << said;
}

TEST_F(OpenerPath, RefusesAddressesAnOpenerWouldMisread)
{
	AddOpener("xdg-open");
	pid_t child = -1;
	for (const char* url : {"", "-v", "--help"})
		EXPECT_EQ(SpawnURLOpener(url, &child), B_BAD_VALUE) << url;
	EXPECT_EQ(SpawnURLOpener(nullptr, &child), B_BAD_VALUE);
	EXPECT_EQ(access((fDir + "/called").c_str(), F_OK), -1);
}
