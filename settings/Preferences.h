// TPreferences: the program's whole saved state, a 'pref' message bound to one file in the
// settings directory. Constructing one loads the file, destroying it writes the message back.
// Meant to live on the stack for one read or one write; it keeps no cache and takes no locks.
#pragma once

#include "Message.h"
#include "Path.h"

class TPreferences : public BMessage {
public:
	explicit TPreferences(const char* filename);
	~TPreferences() override;

	TPreferences(const TPreferences&) = delete;
	TPreferences& operator=(const TPreferences&) = delete;

	// The value at index 0, or the default when the key is missing or holds another type.
	float GetFloat(const char* name, float defaultValue) const;
	int32 GetInt32(const char* name, int32 defaultValue) const;

	// Replaces the value when the key holds this type, else adds the key; a key of another
	// type (another version, another program, damage) is replaced by one of this type. A set
	// that fails is told with the save.
	status_t SetFloat(const char* name, float value);
	status_t SetInt32(const char* name, int32 value);

	// A save that fails is told on standard error once per process; this lets the next one
	// be told again (for tests, which run many "processes" in one).
	static void ResetSaveFailureReport();

private:
	status_t _Save() const;
	status_t _Noted(status_t status);

	BPath fPath;
	status_t fStatus;
	// The first set that failed: the file is still written, but it lacks that value.
	status_t fSetStatus = B_OK;
};
