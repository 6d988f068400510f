// A headless application with the program's main window, in a private settings directory.
// Shared by the calculator pad and the about window tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "TMainView.h"
#include "TMainWindow.h"

class MainWindowTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = (std::filesystem::temp_directory_path() / "kambo.XXXXXX").string();
		ASSERT_NE(nullptr, mkdtemp(pattern.data()));
		fConfig = pattern;
		setenv("XDG_CONFIG_HOME", fConfig.c_str(), 1);

		fBackend = BPrivate::HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.QXT-KamboLux");
		fMain = new TMainWindow(BRect(100, 100, 306, 212));
		fMain->Show();
		Drain();
	}

	void TearDown() override
	{
		delete fApp;
		unsetenv("XDG_CONFIG_HOME");
		std::error_code error;
		std::filesystem::remove_all(fConfig, error);
	}

	static void Drain() { BPrivate::EventLoop::Drain(); }

	// The application's window of type T, if one is open.
	template <typename T>
	static T* Find()
	{
		for (int32 i = 0; i < be_app->CountWindows(); i++) {
			if (T* window = dynamic_cast<T*>(be_app->WindowAt(i)))
				return window;
		}
		return nullptr;
	}

	uint32 MainId() const { return BPrivate::HeadlessBackend::IdOf(fMain); }

	BPrivate::HeadlessBackend* fBackend = nullptr;
	BApplication* fApp = nullptr;
	TMainWindow* fMain = nullptr;

private:
	std::string fConfig;
};
