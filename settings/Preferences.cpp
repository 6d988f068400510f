#include "Preferences.h"

#include <new>
#include <vector>

#include "File.h"
#include "FindDirectory.h"
#include "ReplaceFile.h"

static const uint32 kPreferencesWhat = 'pref';

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

TPreferences::~TPreferences()
{
	_Save();
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
		return ReplaceFloat(name, 0, value);
	return AddFloat(name, value);
}

status_t
TPreferences::SetInt32(const char* name, int32 value)
{
	if (HasInt32(name, 0))
		return ReplaceInt32(name, 0, value);
	return AddInt32(name, value);
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
	if (fStatus == B_NO_MEMORY)
		return B_NO_MEMORY;

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
