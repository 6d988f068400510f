// Names in the settings file shared by the main window and the converter view.
#pragma once

constexpr const char* kSettingsFile = "KamboLux_prefs";

constexpr const char* kKeyWindowLeft = "wndleft";
constexpr const char* kKeyWindowTop = "wndtop";
constexpr const char* kKeySource = "idxoben";
constexpr const char* kKeyTarget = "idxunten";
constexpr const char* kKeyInFront = "infront";
constexpr const char* kKeyTabless = "tabless";
constexpr const char* kKeyRounding = "runden";
