// A fresh temporary folder for one test (mkdtemp under TMPDIR or /tmp), removed with all it
// holds when the folder object goes, even after a failed assertion; and environment variables
// pointed into it for the test, given back as they were.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

class ScratchFolder {
public:
	explicit ScratchFolder(const char* prefix = "kambo")
	{
		std::string pattern =
			(std::filesystem::temp_directory_path() / (std::string(prefix) + ".XXXXXX")).string();
		if (mkdtemp(pattern.data()) != nullptr)
			fPath = pattern;
	}

	~ScratchFolder()
	{
		for (auto it = fSavedEnv.rbegin(); it != fSavedEnv.rend(); ++it) {
			if (it->second.empty())
				unsetenv(it->first.c_str());
			else
				setenv(it->first.c_str(), it->second.c_str() + 1, 1);
		}
		if (fPath.empty())
			return;
		// Folders a test write-protected are opened again, or their entries would stay. Only
		// real folders: a link a test planted may lead to a file that is not ours.
		namespace fs = std::filesystem;
		std::error_code error;
		for (const auto& entry : fs::recursive_directory_iterator(fPath, error)) {
			if (entry.symlink_status(error).type() == fs::file_type::directory)
				chmod(entry.path().c_str(), 0700);
		}
		fs::remove_all(fPath, error);
	}

	ScratchFolder(const ScratchFolder&) = delete;
	ScratchFolder& operator=(const ScratchFolder&) = delete;

	// False when no folder could be made; the test should stop then.
	bool IsValid() const { return !fPath.empty(); }
	const std::string& Path() const { return fPath; }

	// The path of name inside the folder, made as a folder (with its parents) when asked.
	std::string Sub(const std::string& name, bool makeFolder = false) const
	{
		std::string path = fPath + "/" + name;
		if (makeFolder) {
			std::error_code error;
			std::filesystem::create_directories(path, error);
		}
		return path;
	}

	// A config folder and a home of the folder's own, named by XDG_CONFIG_HOME and HOME as
	// the settings find them; the config folder's path.
	std::string UseAsHome()
	{
		std::string config = Sub("config", true);
		SetEnv("XDG_CONFIG_HOME", config);
		SetEnv("HOME", Sub("home"));
		return config;
	}

	// Sets or unsets the variable for as long as the folder lives.
	void SetEnv(const char* name, const std::string& value)
	{
		_Remember(name);
		setenv(name, value.c_str(), 1);
	}

	void UnsetEnv(const char* name)
	{
		_Remember(name);
		unsetenv(name);
	}

private:
	void _Remember(const char* name)
	{
		for (const auto& saved : fSavedEnv) {
			if (saved.first == name)
				return;
		}
		// A one-character marker, so that an empty variable differs from none.
		const char* old = getenv(name);
		fSavedEnv.emplace_back(name, old != nullptr ? std::string("=") + old : "");
	}

	std::string fPath;
	std::vector<std::pair<std::string, std::string>> fSavedEnv;
};
