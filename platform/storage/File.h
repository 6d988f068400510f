// BFile: a regular file opened with the platform's open modes, read and written as a positioned
// stream. Closed on destruction. Anything but a regular file is refused without blocking on it
// (directories, FIFOs, sockets, devices); no attributes, no locking.
#pragma once

#include <sys/types.h>

#include "DataIO.h"
#include "StorageDefs.h"

class BFile : public BPositionIO {
public:
	BFile();
	BFile(const char* path, uint32 openMode);
	~BFile() override;

	// One object per open descriptor, as on the platform: neither copied nor moved.
	BFile(const BFile&) = delete;
	BFile& operator=(const BFile&) = delete;
	BFile(BFile&&) = delete;
	BFile& operator=(BFile&&) = delete;

	// openMode: B_READ_ONLY, B_WRITE_ONLY or B_READ_WRITE, or'ed with B_CREATE_FILE,
	// B_ERASE_FILE, B_FAIL_IF_EXISTS and B_OPEN_AT_END. New files get 0644 less the umask.
	status_t SetTo(const char* path, uint32 openMode);
	void Unset();
	status_t InitCheck() const;

	ssize_t Read(void* buffer, size_t size) override;
	ssize_t Write(const void* buffer, size_t size) override;
	ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
	ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;
	off_t Seek(off_t position, uint32 seekMode) override;
	off_t Position() const override;
	status_t SetSize(off_t size) override;

	// Flushes written data to the device.
	status_t Sync();

private:
	int fFD = -1;
	status_t fInitStatus = B_NO_INIT;
};
