#include "Preferences.h"

#include <cstdio>
#include <new>
#include <vector>

#include "File.h"
#include "FindDirectory.h"
#include "ReplaceFile.h"
#include "StorageDefs.h"

static const uint32 kPreferencesWhat = 'pref';

namespace {

// Why a save failed, in the words of the program's other messages.
struct SaveFailure {
	status_t status;
	const char* reason;
};

const SaveFailure kSaveFailures[] = {
	{B_PERMISSION_DENIED, "keine Schreibrechte"},
	{B_READ_ONLY_DEVICE, "Dateisystem schreibgeschützt"},
	{B_DEVICE_FULL, "Datenträger voll"},
	{B_IS_A_DIRECTORY, "dort steht ein Ordner"},
	{B_NOT_ALLOWED, "dort steht keine gewöhnliche Datei"},
	{B_NOT_A_DIRECTORY, "der Ordner ist eine Datei"},
	{B_ENTRY_NOT_FOUND, "der Ordner darüber fehlt"},
	{B_NO_MEMORY, "zu wenig Speicher"},
	{B_FILE_TOO_LARGE, "die Datei ist zu groß zum Lesen und bleibt, wie sie ist"},
	{B_IO_ERROR, "Ein-/Ausgabefehler"},
};

bool sSaveFailureReported = false;

// Settings that silently fail to stick are lost at the next start; the user (or the session's
// log) is told once per run, not at each of the saves a quit makes.
void
ReportSaveFailure(const char* path, status_t status)
{
	if (sSaveFailureReported)
		return;
	sSaveFailureReported = true;
	if (path == nullptr) {
		fprintf(stderr,
			"kambolux: Einstellungen nicht gespeichert: kein Ordner dafür "
			"(XDG_CONFIG_HOME und HOME fehlen oder sind keine absoluten Pfade)\n");
		return;
	}
	for (const SaveFailure& failure : kSaveFailures) {
		if (failure.status == status) {
			fprintf(stderr, "kambolux: Einstellungen nicht gespeichert: %s: %s\n", path,
				failure.reason);
			return;
		}
	}
	fprintf(stderr, "kambolux: Einstellungen nicht gespeichert: %s: Fehler %d\n", path,
		(int)status);
}

} // namespace

TPreferences::TPreferences(const char* filename) : BMessage(kPreferencesWhat), fStatus(B_NO_INIT)
{
	BFile file;

	fStatus = find_directory(B_COMMON_SETTINGS_DIRECTORY, &fPath, false, nullptr);
	if (fStatus != B_OK)
		return;
	fPath.Append(filename, false);

	fStatus = file.SetTo(fPath.Path(), B_READ_ONLY);
	if (fStatus != B_OK)
		return;

	fStatus = Unflatten(&file);
	// A damaged file loads as no fields at all; the next save still writes a 'pref' message.
	if (fStatus != B_OK)
		what = kPreferencesWhat;
}

void
TPreferences::ResetSaveFailureReport()
{
	sSaveFailureReported = false;
}

TPreferences::~TPreferences()
{
	status_t status = _Save();
	if (status == B_OK)
		status = fSetStatus;
	if (status != B_OK)
		ReportSaveFailure(fPath.Path(), status);
}

float
TPreferences::GetFloat(const char* name, float defaultValue) const
{
	float value;
	if (FindFloat(name, &value) != B_OK)
		value = defaultValue;
	return value;
}

int32
TPreferences::GetInt32(const char* name, int32 defaultValue) const
{
	int32 value;
	if (FindInt32(name, &value) != B_OK)
		value = defaultValue;
	return value;
}

status_t
TPreferences::SetFloat(const char* name, float value)
{
	if (HasFloat(name, 0))
		return _Noted(ReplaceFloat(name, 0, value));
	// A key of another type (another version, another program, damage) would refuse every
	// later value, and each run would lose what the user chose: the program's keys are its own.
	RemoveName(name);
	return _Noted(AddFloat(name, value));
}

status_t
TPreferences::SetInt32(const char* name, int32 value)
{
	if (HasInt32(name, 0))
		return _Noted(ReplaceInt32(name, 0, value));
	RemoveName(name);
	return _Noted(AddInt32(name, value));
}

status_t
TPreferences::_Noted(status_t status)
{
	if (status != B_OK && fSetStatus == B_OK)
		fSetStatus = status;
	return status;
}

// The file is replaced whole in one step (replace_file), so a crash or a full disk leaves the old
// settings or the new ones, never a mixture. A folder that is missing is made first, as the XDG
// rules ask of a program that writes its settings.
status_t
TPreferences::_Save() const
{
	const char* path = fPath.Path();
	if (path == nullptr)
		return B_NO_INIT;
	// A file we could not hold in memory is not damaged; writing what little we have over it
	// would throw away the user's settings.
	if (fStatus == B_NO_MEMORY || fStatus == B_FILE_TOO_LARGE)
		return fStatus;

	ssize_t size = FlattenedSize();
	if (size < 0)
		return static_cast<status_t>(size);
	std::vector<char> buffer;
	try {
		buffer.resize(static_cast<size_t>(size));
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	}
	status_t status = Flatten(buffer.data(), size);
	if (status != B_OK)
		return status;
	return replace_file(path, buffer.data(), buffer.size(), B_REPLACE_CREATE_DIRECTORY);
}
