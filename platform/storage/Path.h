// BPath: an absolute path name held as a string. It does not touch the file system except to
// make a relative path absolute against the working directory; normalizing is lexical
// ("//", "." and a trailing "/" always go; ".." is resolved only when asked to normalize).
#pragma once

#include <string>

#include "SupportDefs.h"

class BPath {
public:
	BPath();
	BPath(const char* path, const char* leaf = nullptr, bool normalize = false);
	BPath(const BPath& other);
	BPath& operator=(const BPath& other);
	~BPath();

	status_t SetTo(const char* path, const char* leaf = nullptr, bool normalize = false);
	// Adds a relative leaf; fails and leaves the path as it was when unset or leaf is absolute.
	status_t Append(const char* leaf, bool normalize = false);
	void Unset();
	status_t InitCheck() const;

	// nullptr while unset.
	const char* Path() const;

	bool operator==(const BPath& other) const;
	bool operator==(const char* path) const;

private:
	std::string fPath;
	status_t fInitStatus = B_NO_INIT;
};
