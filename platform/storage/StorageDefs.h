// Open modes and limits of the Storage Kit, with the platform's names and values.
#pragma once

#include "SupportDefs.h"

enum : uint32 {
	B_READ_ONLY = 0x0000,
	B_WRITE_ONLY = 0x0001,
	B_READ_WRITE = 0x0002,
	B_FAIL_IF_EXISTS = 0x0100,
	B_CREATE_FILE = 0x0200,
	B_ERASE_FILE = 0x0400,
	B_OPEN_AT_END = 0x0800,
};

enum {
	B_FILE_NAME_LENGTH = 256,
	B_PATH_NAME_LENGTH = 1024,
};

// Storage errors that the basic status codes do not name.
enum : status_t {
	B_NAME_TOO_LONG = B_GENERAL_ERROR_BASE + 0x6004,
	B_NOT_A_DIRECTORY = B_GENERAL_ERROR_BASE + 0x6005,
	B_IS_A_DIRECTORY = B_GENERAL_ERROR_BASE + 0x6009,
	B_LINK_LIMIT = B_GENERAL_ERROR_BASE + 0x600c,
};
