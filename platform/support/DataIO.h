// Byte streams of the kit. BDataIO is a plain stream, BPositionIO one with a position that can
// be moved (BFile is one). They report errors as negative status codes and never throw.
#pragma once

#include <cstdio>

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
};
