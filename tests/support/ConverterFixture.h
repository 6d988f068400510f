// The converter program per test: the headless backend, a private settings directory
// (XDG_CONFIG_HOME and HOME point into a fresh temporary tree) and the application object.
// Start() opens the main window as the program does when its loop is ready. MainWindowTest
// starts it at once, for the tests of the windows the main window opens (pad, about).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "AppDefs.h"
#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Message.h"
#include "Preferences.h"
#include "Resources.h"
#include "ScratchFolder.h"
#include "TApp.h"
#include "TEdit.h"
#include "TMainView.h"
#include "TMainWindow.h"
#include "TextView.h"

using Bytes = std::vector<uint8_t>;

class ConverterTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fScratch.IsValid());
		fRoot = fScratch.Path();
		fConfig = fScratch.UseAsHome();
		fBackend = BPrivate::HeadlessBackend::Install();
	}

	void TearDown() override
	{
		BPrivate::EventLoop::SetIdleHook(nullptr);
		fApp.reset();
	}

	// Creates the application and lets it open its window, as Run does first.
	void Start()
	{
		fApp = std::make_unique<TApp>();
		fApp->PostMessage(B_READY_TO_RUN, fApp.get());
		Drain();
		ASSERT_NE(nullptr, fApp->MainWindow());
	}

	// Quits as the program does and deletes the application with its windows, which saves
	// the settings.
	void Quit()
	{
		fApp->PostMessage(B_QUIT_REQUESTED);
		Drain();
		EXPECT_TRUE(fApp->IsQuitting());
		fApp.reset();
	}

	static void Drain() { BPrivate::EventLoop::Drain(); }

	TMainWindow* Window() const { return fApp->MainWindow(); }
	TMainView* View() const { return Window()->MainView(); }
	uint32 WindowId() const { return BPrivate::HeadlessBackend::IdOf(Window()); }

	BPrivate::HeadlessBackend::WindowInfo Info() const
	{
		for (const auto& info : fBackend->Windows()) {
			if (info.id == WindowId())
				return info;
		}
		ADD_FAILURE() << "the main window has no backend window";
		return {};
	}

	// Sends a command to the converter view as a menu item would.
	void Command(uint32 what, const char* field = nullptr, int32 value = 0)
	{
		BMessage message(what);
		if (field != nullptr)
			message.AddInt32(field, value);
		Window()->PostMessage(&message, View());
		Drain();
	}

	void Type(const char* text)
	{
		fBackend->InjectText(WindowId(), text);
		Drain();
	}

	std::string SourceText() const { return View()->SourceField()->Text(); }
	std::string EuroText() const { return View()->EuroLine()->Text(); }
	std::string TargetText() const { return View()->TargetField()->Text(); }

	// Stores values as an earlier run would have left them.
	static void StoreInt32(const char* key, int32 value)
	{
		TPreferences prefs("KamboLux_prefs");
		prefs.SetInt32(key, value);
	}

	static void StoreFloat(const char* key, float value)
	{
		TPreferences prefs("KamboLux_prefs");
		prefs.SetFloat(key, value);
	}

	std::string SettingsFile() const { return fConfig + "/KamboLux_prefs"; }

	Bytes ReadSettings() const
	{
		std::ifstream in(SettingsFile(), std::ios::binary);
		return Bytes(std::istreambuf_iterator<char>(in), {});
	}

	void WriteSettings(const Bytes& bytes) const
	{
		std::ofstream out(SettingsFile(), std::ios::binary | std::ios::trunc);
		out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
	}

	// The application's window of type T, if one is open.
	template <typename T>
	static T* FindWindow()
	{
		for (int32 i = 0; i < be_app->CountWindows(); i++) {
			if (T* window = dynamic_cast<T*>(be_app->WindowAt(i)))
				return window;
		}
		return nullptr;
	}

	ScratchFolder fScratch{"kambo-conv"};
	std::string fRoot;
	std::string fConfig;
	BPrivate::HeadlessBackend* fBackend = nullptr;
	std::unique_ptr<TApp> fApp;
};

// The program with its main window open, as a user finds it.
class MainWindowTest : public ConverterTest {
protected:
	void SetUp() override
	{
		ConverterTest::SetUp();
		ASSERT_NO_FATAL_FAILURE(Start());
		fMain = Window();
	}

	uint32 MainId() const { return WindowId(); }

	TMainWindow* fMain = nullptr;
};
