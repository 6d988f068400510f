// A private settings directory per test: XDG_CONFIG_HOME points into a fresh temporary tree,
// HOME too, so no test can reach the real user's files. Restored and removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "../platform/FlattenedExamples.h"
#include "FileOps.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

inline constexpr const char* kPrefsName = "KamboLux_prefs";

class PreferencesTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fScratch.IsValid());
		fRoot = fScratch.Path();
		fConfig = fScratch.UseAsHome();
	}

	void TearDown() override { BPrivate::SetFileOps(nullptr); }

	std::string SettingsFile() const { return fConfig + "/" + kPrefsName; }

	static Bytes ReadFile(const std::string& path)
	{
		std::ifstream in(path, std::ios::binary);
		return Bytes(std::istreambuf_iterator<char>(in), {});
	}

	static void WriteFile(const std::string& path, const Bytes& bytes)
	{
		std::ofstream out(path, std::ios::binary | std::ios::trunc);
		out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
	}

	static std::vector<std::string> Entries(const std::string& directory)
	{
		std::vector<std::string> names;
		std::error_code error;
		for (const auto& entry : fs::directory_iterator(directory, error))
			names.push_back(entry.path().filename().string());
		std::sort(names.begin(), names.end());
		return names;
	}

	static mode_t Mode(const std::string& path)
	{
		struct stat info {};
		stat(path.c_str(), &info);
		return info.st_mode & 07777;
	}

	// Runs body with file permissions in force. Root ignores them, so as root the body runs in a
	// child process that has become an ordinary user, after the test tree was handed over.
	void WithoutPrivileges(const std::function<void()>& body)
	{
		if (geteuid() != 0) {
			body();
			return;
		}
		const uid_t nobody = 65534;
		lchown(fRoot.c_str(), nobody, nobody);
		for (const auto& entry : fs::recursive_directory_iterator(fRoot))
			lchown(entry.path().c_str(), nobody, nobody);
		pid_t child = fork();
		ASSERT_GE(child, 0);
		if (child == 0) {
			if (setgid(nobody) != 0 || setuid(nobody) != 0)
				_exit(2);
			body();
			_exit(0);
		}
		int status = 0;
		waitpid(child, &status, 0);
		ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
	}

	// Removed with the links and write-protected folders the tests leave in it; the links
	// are not followed.
	ScratchFolder fScratch{"kambo-prefs"};
	std::string fRoot;
	std::string fConfig;
};
