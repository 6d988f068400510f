// The kit's cache files are read only when they are plain files of a sane size: a FIFO, a link
// or a huge file planted at a cache's path must neither hang the start nor be read.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "RegularFile.h"
#include "ScratchFolder.h"

namespace {

class RegularFileTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fScratch.IsValid());
		fDirectory = fScratch.Path();
	}

	std::string Write(const char* name, const std::string& content)
	{
		std::string path = fDirectory + "/" + name;
		FILE* file = fopen(path.c_str(), "w");
		EXPECT_NE(file, nullptr);
		fwrite(content.data(), 1, content.size(), file);
		fclose(file);
		return path;
	}

	ScratchFolder fScratch{"kit-regular"};
	std::string fDirectory;
};

TEST_F(RegularFileTest, ReadsOnlyPlainFilesOfASaneSize)
{
	std::string plain = Write("plain", "seal\t1\n");
	std::string big = Write("big", std::string(4097, 'x'));
	std::string empty = Write("empty", "");
	std::string fifo = fDirectory + "/fifo";
	ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
	std::string link = fDirectory + "/link";
	ASSERT_EQ(symlink(plain.c_str(), link.c_str()), 0);

	struct Case {
		std::string path;
		bool read;
		const char* content;
	} cases[] = {
		{plain, true, "seal\t1\n"},
		{empty, true, ""},
		{big, false, ""},
		{fifo, false, ""}, // no writer: a blocking open would never return
		{link, false, ""},
		{fDirectory, false, ""},
		{fDirectory + "/missing", false, ""},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.path);
		std::string content;
		EXPECT_EQ(BPrivate::ReadRegularFile(c.path, 4096, &content), c.read);
		if (c.read) {
			EXPECT_EQ(content, c.content);
		}
	}
}

} // namespace
