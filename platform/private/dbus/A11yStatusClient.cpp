#include "A11yStatusClient.h"
#include "SystemTime.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace BPrivate {

namespace {

const char* const kBusName = "org.a11y.Bus";
const char* const kBusPath = "/org/a11y/bus";
const char* const kStatusInterface = "org.a11y.Status";
const char* const kProperties = "org.freedesktop.DBus.Properties";

// Room for one whole message of the largest accepted size and the start of the next.
const size_t kInputCapacity = 2 * DBus::kMaxMessageSize;

int
ConnectTo(const DBus::SocketAddress& address)
{
	sockaddr_un target = {};
	target.sun_family = AF_UNIX;
	size_t offset = address.abstract ? 1 : 0;
	if (address.path.size() + offset >= sizeof(target.sun_path))
		return -1;
	memcpy(target.sun_path + offset, address.path.data(), address.path.size());
	socklen_t length = (socklen_t)(offsetof(sockaddr_un, sun_path) + offset + address.path.size()
		+ (address.abstract ? 0 : 1));

	int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
	if (fd < 0)
		return -1;
	// A local socket connects at once or not at all; a full backlog counts as not.
	if (connect(fd, (const sockaddr*)&target, length) != 0) {
		close(fd);
		return -1;
	}
	return fd;
}

} // namespace

A11yStatusClient::A11yStatusClient(Listener listener, int32 answerTimeoutMs) :
	fListener(std::move(listener)),
	fTimeoutMs(answerTimeoutMs)
{
}

A11yStatusClient::~A11yStatusClient()
{
	_Close();
}

status_t
A11yStatusClient::Connect(const std::vector<DBus::SocketAddress>& addresses)
{
	_Close();
	for (const DBus::SocketAddress& address : addresses) {
		fSocket = ConnectTo(address);
		if (fSocket >= 0)
			break;
	}
	if (fSocket < 0)
		return B_ERROR;
	fState = kAuthenticating;
	fDeadline = system_time_us() + (bigtime_t)fTimeoutMs * 1000;
	fOutput = DBus::AuthExternal(getuid());
	fInput.clear();
	if (!_Flush()) {
		_Close();
		return B_ERROR;
	}
	return B_OK;
}

int32
A11yStatusClient::Prepare(std::vector<pollfd>* descriptors)
{
	if (fSocket < 0)
		return -1;
	short events = POLLIN;
	if (!fOutput.empty())
		events |= POLLOUT;
	descriptors->push_back({fSocket, events, 0});
	// Once answered, only the bus wakes the loop: a signal or a closed connection.
	if (fState == kWatching)
		return -1;
	bigtime_t left = fDeadline - system_time_us();
	return left <= 0 ? 0 : (int32)((left + 999) / 1000);
}

void
A11yStatusClient::Dispatch(const std::vector<pollfd>& descriptors)
{
	if (fSocket < 0)
		return;
	short revents = 0;
	for (const pollfd& descriptor : descriptors) {
		if (descriptor.fd == fSocket)
			revents |= descriptor.revents;
	}
	if ((revents & POLLNVAL) != 0) {
		_Fail();
		return;
	}
	if ((revents & POLLOUT) != 0 && !_Flush()) {
		_Fail();
		return;
	}
	// A hang-up may come with the last bytes still to read; the read then sees the end.
	if ((revents & (POLLIN | POLLHUP | POLLERR)) != 0 && (!_Receive() || !_Process())) {
		_Fail();
		return;
	}
	if (fState != kWatching && fSocket >= 0 && system_time_us() >= fDeadline)
		_Fail();
}

void
A11yStatusClient::_Close()
{
	if (fSocket >= 0)
		close(fSocket);
	fSocket = -1;
	fState = kClosed;
	fOutput.clear();
	fInput.clear();
}

// Before the first answer a failure is the answer "off"; after it, the program keeps what
// it had (a loaded module stays).
void
A11yStatusClient::_Fail()
{
	_Close();
	if (!fAnswered) {
		fAnswered = true;
		fIsEnabled = fScreenReader = false;
		_Report();
	}
}

bool
A11yStatusClient::_Flush()
{
	while (!fOutput.empty()) {
		ssize_t sent = send(fSocket, fOutput.data(), fOutput.size(), MSG_NOSIGNAL);
		if (sent < 0) {
			if (errno == EINTR)
				continue;
			return errno == EAGAIN || errno == EWOULDBLOCK;
		}
		fOutput.erase(0, (size_t)sent);
	}
	return true;
}

// Reads what is there, at most to the buffer's bound; false when the bus closed or the
// buffer is full without a whole message in it.
bool
A11yStatusClient::_Receive()
{
	if (fInput.size() >= kInputCapacity)
		return false;
	char chunk[4096];
	size_t room = std::min(sizeof(chunk), kInputCapacity - fInput.size());
	ssize_t received = recv(fSocket, chunk, room, 0);
	if (received == 0)
		return false;
	if (received < 0)
		return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
	fInput.append(chunk, (size_t)received);
	return true;
}

bool
A11yStatusClient::_Process()
{
	if (fState == kAuthenticating) {
		size_t consumed = 0;
		DBus::AuthReply reply = DBus::ParseAuthReply(fInput, &consumed);
		if (reply == DBus::AuthReply::kIncomplete)
			return true;
		if (reply != DBus::AuthReply::kOk)
			return false;
		fInput.erase(0, consumed);
		// The server says nothing more until BEGIN: anything else is not a bus.
		if (!fInput.empty())
			return false;
		fOutput += "BEGIN\r\n";
		uint32 ignored;
		_Queue("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello", {},
			&ignored);
		_Queue("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "AddMatch",
			{std::string("type='signal',interface='") + kProperties
				+ "',member='PropertiesChanged',path='" + kBusPath + "',arg0='" + kStatusInterface
				+ "'"},
			&ignored);
		_Queue(kBusName, kBusPath, kProperties, "Get", {kStatusInterface, "IsEnabled"},
			&fIsEnabledSerial);
		_Queue(kBusName, kBusPath, kProperties, "Get", {kStatusInterface, "ScreenReaderEnabled"},
			&fScreenReaderSerial);
		fUnanswered = 2;
		fState = kAsking;
		return _Flush();
	}

	size_t offset = 0;
	while (fSocket >= 0) {
		DBus::Message message;
		size_t consumed = 0;
		DBus::ParseResult result = DBus::ParseMessage((const uint8*)fInput.data() + offset,
			fInput.size() - offset, &message, &consumed);
		if (result == DBus::ParseResult::kBad)
			return false;
		if (result == DBus::ParseResult::kIncomplete)
			break;
		offset += consumed;
		_Handle(message);
	}
	fInput.erase(0, offset);
	return true;
}

void
A11yStatusClient::_Handle(const DBus::Message& message)
{
	if ((message.type == DBus::kMethodReturn || message.type == DBus::kError) && fUnanswered > 0
		&& (message.replySerial == fIsEnabledSerial
			|| message.replySerial == fScreenReaderSerial)) {
		// An error (no accessibility bus on this desktop) or a reply that is not a boolean
		// means "off" for that property.
		bool value = false;
		if (message.type == DBus::kMethodReturn && !DBus::ReadVariantBoolean(message, &value))
			value = false;
		if (message.replySerial == fIsEnabledSerial) {
			fIsEnabled = value;
			fIsEnabledSerial = 0;
		} else {
			fScreenReader = value;
			fScreenReaderSerial = 0;
		}
		if (--fUnanswered == 0) {
			fAnswered = true;
			fState = kWatching;
			_Report();
		}
		return;
	}
	if (message.type != DBus::kSignal || message.member != "PropertiesChanged"
		|| message.interface != kProperties || message.path != kBusPath)
		return;
	std::string interface;
	std::map<std::string, bool> changed;
	if (!DBus::ReadChangedBooleans(message, &interface, &changed) || interface != kStatusInterface)
		return;
	auto found = changed.find("IsEnabled");
	if (found != changed.end())
		fIsEnabled = found->second;
	found = changed.find("ScreenReaderEnabled");
	if (found != changed.end())
		fScreenReader = found->second;
	if (fAnswered)
		_Report();
}

void
A11yStatusClient::_Queue(const char* destination, const char* path, const char* interface,
	const char* member, const std::vector<std::string>& arguments, uint32* serial)
{
	*serial = fNextSerial++;
	fOutput += DBus::MethodCall(*serial, destination, path, interface, member, arguments);
}

// Tells the listener the first answer and then only real changes.
void
A11yStatusClient::_Report()
{
	bool enabled = Enabled();
	if (fReported && enabled == fLastReported)
		return;
	fReported = true;
	fLastReported = enabled;
	if (fListener)
		fListener(enabled);
}

} // namespace BPrivate
