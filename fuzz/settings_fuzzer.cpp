// Any byte sequence as a flattened message and as the settings file. Whatever reads as a
// message must flatten and read back equal, the buffer and the stream reader must agree, and a
// settings object must write back exactly what it loaded, so that the next one loads it again.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "DataIO.h"
#include "FileOps.h"
#include "FuzzCheck.h"
#include "MemoryStream.h"
#include "Message.h"
#include "Preferences.h"

namespace {

const char* kPrefsName = "KamboLux_prefs";
// The stream reader refuses messages that claim more than this.
const size_t kStreamLimit = 1024 * 1024;

std::string sConfigDir;
std::string sPrefsPath;

int
NoSync(int)
{
	return 0;
}

void
RemoveConfigDir()
{
	// The save leaves only the file itself; a temporary would mean a failed save, kept for a look.
	unlink(sPrefsPath.c_str());
	rmdir(sConfigDir.c_str());
}

std::vector<uint8_t>
Flattened(const BMessage& message)
{
	ssize_t size = message.FlattenedSize();
	FUZZ_CHECK(size > 0, "a loaded message has a flattened size");
	std::vector<uint8_t> bytes(static_cast<size_t>(size));
	FUZZ_CHECK(message.Flatten(reinterpret_cast<char*>(bytes.data()), size) == B_OK,
		"a loaded message flattens");
	return bytes;
}

void
CheckRoundTrip(const BMessage& message)
{
	std::vector<uint8_t> bytes = Flattened(message);

	BMessage again;
	FUZZ_CHECK(again.Unflatten(reinterpret_cast<const char*>(bytes.data()), bytes.size()) == B_OK,
		"our own flattened form reads back");
	FUZZ_CHECK(Flattened(again) == bytes, "flatten and unflatten give the same message");

	BPrivate::MemoryStream stream;
	FUZZ_CHECK(message.Flatten(&stream) == B_OK, "a loaded message flattens into a stream");
	FUZZ_CHECK(stream.Bytes().size() == bytes.size()
			&& memcmp(stream.Bytes().data(), bytes.data(), bytes.size()) == 0,
		"the stream gets the same bytes as the buffer");
	stream.Seek(0, SEEK_SET);
	BMessage fromStream;
	FUZZ_CHECK(fromStream.Unflatten(&stream) == B_OK && Flattened(fromStream) == bytes,
		"the stream reads back the same message");
}

bool
WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
	int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
	if (fd < 0)
		return false;
	bool ok = size == 0 || write(fd, data, size) == static_cast<ssize_t>(size);
	close(fd);
	return ok;
}

std::vector<uint8_t>
ReadFile(const std::string& path)
{
	std::vector<uint8_t> bytes;
	int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return bytes;
	uint8_t buffer[4096];
	ssize_t got;
	while ((got = read(fd, buffer, sizeof(buffer))) > 0)
		bytes.insert(bytes.end(), buffer, buffer + got);
	close(fd);
	return bytes;
}

void
CheckPreferences(const uint8_t* data, size_t size, const BMessage* expected)
{
	FUZZ_CHECK(WriteFile(sPrefsPath, data, size), "the fuzz input becomes the settings file");

	BMessage saved;
	{
		TPreferences prefs(kPrefsName);
		if (expected != nullptr)
			FUZZ_CHECK(Flattened(prefs) == Flattened(*expected),
				"the settings object loads what the reader reads");
		else
			FUZZ_CHECK(Flattened(prefs) == Flattened(BMessage('pref')),
				"a damaged file loads as an empty 'pref' message");
		saved = prefs;
	}
	FUZZ_CHECK(ReadFile(sPrefsPath) == Flattened(saved), "the save writes the whole message");

	TPreferences reloaded(kPrefsName);
	FUZZ_CHECK(Flattened(reloaded) == Flattened(saved),
		"the next load gives back what the last save wrote");
}

} // namespace

extern "C" int
LLVMFuzzerInitialize(int*, char***)
{
	const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
	std::string pattern = std::string(base) + "/kambo-fuzz.XXXXXX";
	if (mkdtemp(pattern.data()) == nullptr) {
		perror("mkdtemp");
		abort();
	}
	sConfigDir = pattern;
	sPrefsPath = sConfigDir + "/" + kPrefsName;
	setenv("XDG_CONFIG_HOME", sConfigDir.c_str(), 1);
	atexit(RemoveConfigDir);

	// The save flushes twice; durability is not what this target looks at, speed is.
	BPrivate::FileOps ops = BPrivate::SystemFileOps();
	ops.fsync = NoSync;
	BPrivate::SetFileOps(&ops);
	return 0;
}

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	// An exact copy on the heap, so that reading one byte too far is an ASan report.
	std::unique_ptr<char[]> copy(new char[size]);
	if (size > 0)
		memcpy(copy.get(), data, size);

	BMessage fromBuffer('junk');
	fromBuffer.AddInt32("stale", 1);
	status_t bufferStatus = fromBuffer.Unflatten(copy.get(), static_cast<ssize_t>(size));

	BPrivate::MemoryStream stream(copy.get(), size, true);
	BMessage fromStream('junk');
	status_t streamStatus = fromStream.Unflatten(&stream);

	for (const auto& [status, message] :
		{std::pair{bufferStatus, &fromBuffer}, std::pair{streamStatus, &fromStream}}) {
		if (status != B_OK)
			FUZZ_CHECK(Flattened(*message) == Flattened(BMessage()),
				"a failed read leaves nothing");
		else
			CheckRoundTrip(*message);
	}

	// The stream stops at the message's own end, the buffer reader is given everything; both
	// read the same message, unless it is beyond the stream's limit.
	if (size <= kStreamLimit) {
		FUZZ_CHECK((bufferStatus == B_OK) == (streamStatus == B_OK),
			"buffer and stream reader agree on success");
		if (bufferStatus == B_OK)
			FUZZ_CHECK(Flattened(fromBuffer) == Flattened(fromStream),
				"buffer and stream reader agree on content");
	}

	CheckPreferences(data, size, streamStatus == B_OK ? &fromStream : nullptr);
	return 0;
}
