// Byte streams of the kit. BDataIO is a plain stream, BPositionIO one with a position that can
// be moved; BMemoryIO works over a buffer the caller owns, BMallocIO over one it grows itself.
// They report errors as negative status codes and never throw.
#pragma once

#include <cstdio>
#include <vector>

#include "SupportDefs.h"

class BDataIO {
public:
	virtual ~BDataIO();

	// Both may transfer fewer bytes than asked; 0 from Read means the end of the stream.
	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);

	// Loop until every byte is transferred. A stream that ends early gives B_IO_ERROR, a failing
	// one its own error; the count of bytes moved is reported either way.
	status_t ReadExactly(void* buffer, size_t size, size_t* bytesRead = nullptr);
	status_t WriteExactly(const void* buffer, size_t size, size_t* bytesWritten = nullptr);
};

class BPositionIO : public BDataIO {
public:
	// Read and Write work at Position() and move it on.
	ssize_t Read(void* buffer, size_t size) override;
	ssize_t Write(const void* buffer, size_t size) override;

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size) = 0;
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size) = 0;

	// seekMode is SEEK_SET, SEEK_CUR or SEEK_END; returns the new position or an error.
	virtual off_t Seek(off_t position, uint32 seekMode) = 0;
	virtual off_t Position() const = 0;

	virtual status_t SetSize(off_t size);
	virtual status_t GetSize(off_t* size) const;
};

// Over a caller's buffer: the buffer's capacity is fixed, the data length may grow within it.
class BMemoryIO : public BPositionIO {
public:
	BMemoryIO(void* data, size_t length);
	// Read-only: writes fail with B_NOT_ALLOWED.
	BMemoryIO(const void* data, size_t length);

	ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
	ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;
	off_t Seek(off_t position, uint32 seekMode) override;
	off_t Position() const override;
	status_t SetSize(off_t size) override;
	status_t GetSize(off_t* size) const override;

private:
	uint8* fData;
	size_t fLength;
	size_t fCapacity;
	off_t fPosition = 0;
	bool fReadOnly;
};

// Over a buffer of its own that grows as data is written to it.
class BMallocIO : public BPositionIO {
public:
	BMallocIO();
	~BMallocIO() override;

	ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
	ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;
	off_t Seek(off_t position, uint32 seekMode) override;
	off_t Position() const override;
	status_t SetSize(off_t size) override;
	status_t GetSize(off_t* size) const override;

	const void* Buffer() const { return fData.data(); }
	size_t BufferLength() const { return fData.size(); }

private:
	std::vector<uint8> fData;
	off_t fPosition = 0;
};
