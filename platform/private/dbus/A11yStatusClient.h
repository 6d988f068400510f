// Asks the session bus whether the desktop's accessibility is on (org.a11y.Bus's
// org.a11y.Status IsEnabled or ScreenReaderEnabled) and follows the answer as it changes,
// without ever blocking the event loop: the socket is one of the loop's descriptors. Any
// failure (no bus, refused authentication, garbage, a closed connection, no answer in time)
// counts as "off". Does not load anything itself; its listener decides.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "AccessibilityModule.h"
#include "DBusWire.h"

namespace BPrivate {

class A11yStatusClient : public DescriptorWatcher {
public:
	// Called once with the first answer (false when the bus cannot give one), then with
	// every change the bus announces.
	typedef std::function<void(bool enabled)> Listener;

	static const int32 kDefaultTimeoutMs = 5000;

	A11yStatusClient(Listener listener, int32 answerTimeoutMs = kDefaultTimeoutMs);
	~A11yStatusClient() override;

	// Connects to the first address that takes the connection and starts asking. B_ERROR
	// (and no listener call) when none does.
	status_t Connect(const std::vector<DBus::SocketAddress>& addresses);
	bool IsOpen() const { return fSocket >= 0; }
	bool HasAnswered() const { return fAnswered; }
	bool Enabled() const { return fIsEnabled || fScreenReader; }

	int32 Prepare(std::vector<pollfd>* descriptors) override;
	void Dispatch(const std::vector<pollfd>& descriptors) override;

private:
	enum State {
		kClosed,
		kAuthenticating,
		kAsking,
		kWatching,
	};

	void _Close();
	void _Fail();
	bool _Flush();
	bool _Receive();
	bool _Process();
	void _Handle(const DBus::Message& message);
	void _Queue(const char* destination, const char* path, const char* interface,
		const char* member, const std::vector<std::string>& arguments, uint32* serial);
	void _Report();

	Listener fListener;
	int32 fTimeoutMs;
	int fSocket = -1;
	State fState = kClosed;
	std::string fOutput;
	std::string fInput;
	bigtime_t fDeadline = 0;
	uint32 fNextSerial = 1;
	uint32 fIsEnabledSerial = 0;
	uint32 fScreenReaderSerial = 0;
	int32 fUnanswered = 0;
	bool fIsEnabled = false;
	bool fScreenReader = false;
	bool fAnswered = false;
	bool fReported = false;
	bool fLastReported = false;
};

} // namespace BPrivate
