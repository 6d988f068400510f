// The converter's own window, headless: how long one key takes from the backend's event to
// the presented frame (filter, change message, conversion, redraw of the dirty fields,
// copy to the window), how long a full repaint of the window takes, and how long the
// window takes to be built and shown. Settings go to a private directory that is removed
// at exit, so a developer's own settings are never read or written.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "Application.h"
#include "EventLoop.h"
#include "FileOps.h"
#include "HeadlessBackend.h"
#include "TEdit.h"
#include "TMainView.h"
#include "TMainWindow.h"

namespace {

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;

const BRect kMainFrame(100, 100, 306, 212);

class ConfigDir {
public:
	ConfigDir()
	{
		std::string pattern =
			(std::filesystem::temp_directory_path() / "kambo-bench.XXXXXX").string();
		if (mkdtemp(pattern.data()) != nullptr) {
			fPath = pattern;
			setenv("XDG_CONFIG_HOME", fPath.c_str(), 1);
		}
	}
	~ConfigDir()
	{
		std::error_code error;
		if (!fPath.empty())
			std::filesystem::remove_all(fPath, error);
	}
	bool IsValid() const { return !fPath.empty(); }

private:
	std::string fPath;
};

// One application for the whole run: the kit keeps one backend and one be_app.
struct Harness {
	ConfigDir config;
	HeadlessBackend* backend = nullptr;
	BApplication* app = nullptr;

	Harness()
	{
		backend = HeadlessBackend::Install();
		app = new BApplication("application/x-vnd.QXT-KamboLux");
	}
	~Harness() { delete app; }
};

// Created on first use and ended in main, before the kit's own statics go.
Harness* sHarness = nullptr;

Harness&
TheHarness()
{
	if (sHarness == nullptr)
		sHarness = new Harness;
	return *sHarness;
}

// Without a private settings directory the window would read and write the real one.
bool
Ready(benchmark::State& state)
{
	if (TheHarness().config.IsValid())
		return true;
	state.SkipWithError("no temporary settings directory");
	return false;
}

TMainWindow*
OpenMainWindow()
{
	auto* window = new TMainWindow(kMainFrame);
	window->Show();
	EventLoop::Drain();
	return window;
}

// Quit rather than a close request: the window's request would end the application too,
// and the next benchmark needs it.
void
CloseWindow(TMainWindow* window)
{
	window->Lock();
	window->Quit();
	EventLoop::Drain();
}

// Types an amount and erases it again, so that the field's length and the converted
// amounts keep changing the way they do while someone types.
void
BM_KeyToFrame(benchmark::State& state)
{
	if (!Ready(state))
		return;
	Harness& harness = TheHarness();
	TMainWindow* window = OpenMainWindow();
	const uint32 id = HeadlessBackend::IdOf(window);
	if (window->CurrentFocus() != window->MainView()->SourceField()) {
		state.SkipWithError("the amount field does not have the focus");
		CloseWindow(window);
		return;
	}

	static const char* const kKeys[] = {"1", "2", "3", "4", ",", "5", "6", "\x08", "\x08", "\x08",
		"\x08", "\x08", "\x08", "\x08"};
	constexpr size_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);
	size_t next = 0;
	int64_t missed = 0;
	for (auto _ : state) {
		const int32 before = harness.backend->PresentCount(id);
		harness.backend->InjectKey(id, kKeys[next]);
		next = (next + 1) % kKeyCount;
		EventLoop::Drain();
		if (harness.backend->PresentCount(id) == before)
			missed++;
	}
	if (missed > 0)
		state.SkipWithError("a key produced no new frame");
	state.SetItemsProcessed(state.iterations());
	CloseWindow(window);
}

void
BM_FullRedraw(benchmark::State& state)
{
	if (!Ready(state))
		return;
	Harness& harness = TheHarness();
	TMainWindow* window = OpenMainWindow();
	const uint32 id = HeadlessBackend::IdOf(window);
	harness.backend->InjectText(id, "1234.56");
	EventLoop::Drain();

	int64_t missed = 0;
	for (auto _ : state) {
		const int32 before = harness.backend->PresentCount(id);
		window->MainView()->Invalidate();
		window->UpdateIfNeeded();
		if (harness.backend->PresentCount(id) == before)
			missed++;
	}
	if (missed > 0)
		state.SkipWithError("a redraw produced no new frame");
	CloseWindow(window);
}

int
SkipFlush(int)
{
	return 0;
}

// Building the window up to its first presented frame: settings read (and written back, as
// every settings object does), images decoded, fields and buttons created, first conversion
// and paint. Closing is outside the timing. With the argument 0 the settings writes skip
// their flushes to the disk, which shows what those cost against the rest.
void
BM_OpenMainWindow(benchmark::State& state)
{
	if (!Ready(state))
		return;
	const bool flush = state.range(0) != 0;
	BPrivate::FileOps ops = BPrivate::SystemFileOps();
	if (!flush) {
		ops.fsync = SkipFlush;
		BPrivate::SetFileOps(&ops);
	}
	for (auto _ : state) {
		TMainWindow* window = OpenMainWindow();
		state.PauseTiming();
		CloseWindow(window);
		state.ResumeTiming();
	}
	BPrivate::SetFileOps(nullptr);
}

} // namespace

BENCHMARK(BM_KeyToFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenMainWindow)->ArgName("flush")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

int
main(int argc, char** argv)
{
	benchmark::Initialize(&argc, argv);
	if (benchmark::ReportUnrecognizedArguments(argc, argv))
		return 1;
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	delete sHarness;
	return 0;
}
