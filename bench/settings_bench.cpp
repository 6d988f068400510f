// One settings round trip as the converter view does it at shutdown: load the seven-key file,
// store five values, save it (temporary file, flush, rename) in a private settings directory.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "File.h"
#include "FindDirectory.h"
#include "Path.h"
#include "Preferences.h"

namespace {

class SettingsDirectory {
public:
	SettingsDirectory()
	{
		std::string pattern =
			(std::filesystem::temp_directory_path() / "kambo-bench.XXXXXX").string();
		fPath = mkdtemp(pattern.data());
		setenv("XDG_CONFIG_HOME", fPath.c_str(), 1);
	}
	~SettingsDirectory() { std::filesystem::remove_all(fPath); }

private:
	std::string fPath;
};

void
WriteSevenKeys()
{
	TPreferences prefs("KamboLux_prefs");
	prefs.SetFloat("wndleft", 100);
	prefs.SetFloat("wndtop", 100);
	prefs.SetInt32("idxoben", 2);
	prefs.SetInt32("idxunten", 2);
	prefs.SetInt32("infront", 0);
	prefs.SetInt32("tabless", 0);
	prefs.SetInt32("runden", 0);
}

void
BM_LoadAndSave(benchmark::State& state)
{
	SettingsDirectory directory;
	WriteSevenKeys();
	int32 round = 0;
	for (auto _ : state) {
		TPreferences prefs("KamboLux_prefs");
		int32 oben = prefs.GetInt32("idxoben", 2);
		prefs.SetInt32("idxoben", (oben + ++round) % 13);
		prefs.SetInt32("idxunten", prefs.GetInt32("idxunten", 2));
		prefs.SetInt32("infront", prefs.GetInt32("infront", 0));
		prefs.SetInt32("tabless", prefs.GetInt32("tabless", 0));
		prefs.SetInt32("runden", prefs.GetInt32("runden", 0));
	}
}
BENCHMARK(BM_LoadAndSave)->Unit(benchmark::kMicrosecond);

// The load alone, as at start-up, for comparison: the flush makes the save the expensive half.
void
BM_LoadOnly(benchmark::State& state)
{
	SettingsDirectory directory;
	WriteSevenKeys();
	BPath path;
	find_directory(B_COMMON_SETTINGS_DIRECTORY, &path);
	path.Append("KamboLux_prefs");
	for (auto _ : state) {
		BFile file(path.Path(), B_READ_ONLY);
		BMessage message;
		benchmark::DoNotOptimize(message.Unflatten(&file));
	}
}
BENCHMARK(BM_LoadOnly)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
