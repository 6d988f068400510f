// Basic types, status codes and type constants of the kit, with the platform's names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

typedef int8_t int8;
typedef uint8_t uint8;
typedef int16_t int16;
typedef uint16_t uint16;
typedef int32_t int32;
typedef uint32_t uint32;
typedef int64_t int64;
typedef uint64_t uint64;
typedef int32 status_t;
typedef uint32 type_code;
typedef int64 bigtime_t;

// Status codes. Values follow the platform's error space (negative, B_OK zero).
enum : status_t {
	B_OK = 0,
	B_NO_ERROR = 0,
	B_ERROR = -1,
	B_GENERAL_ERROR_BASE = INT32_MIN,
	B_NO_MEMORY = B_GENERAL_ERROR_BASE + 0,
	B_IO_ERROR = B_GENERAL_ERROR_BASE + 1,
	B_PERMISSION_DENIED = B_GENERAL_ERROR_BASE + 2,
	B_BAD_INDEX = B_GENERAL_ERROR_BASE + 3,
	B_BAD_TYPE = B_GENERAL_ERROR_BASE + 4,
	B_BAD_VALUE = B_GENERAL_ERROR_BASE + 5,
	B_MISMATCHED_VALUES = B_GENERAL_ERROR_BASE + 6,
	B_NAME_NOT_FOUND = B_GENERAL_ERROR_BASE + 7,
	B_NAME_IN_USE = B_GENERAL_ERROR_BASE + 8,
	B_TIMED_OUT = B_GENERAL_ERROR_BASE + 9,
	B_INTERRUPTED = B_GENERAL_ERROR_BASE + 10,
	B_WOULD_BLOCK = B_GENERAL_ERROR_BASE + 11,
	B_BAD_DATA = B_GENERAL_ERROR_BASE + 12,
	B_NOT_ALLOWED = B_GENERAL_ERROR_BASE + 13,
	B_ENTRY_NOT_FOUND = B_GENERAL_ERROR_BASE + 0x6003,
	B_FILE_EXISTS = B_GENERAL_ERROR_BASE + 0x6002,
	B_NO_INIT = B_GENERAL_ERROR_BASE + 0x6001,
	B_BAD_HANDLER = B_GENERAL_ERROR_BASE + 0x1004,
	B_BAD_PORT_ID = B_GENERAL_ERROR_BASE + 0x1005,
	B_DEVICE_FULL = B_GENERAL_ERROR_BASE + 0x600a,
	B_READ_ONLY_DEVICE = B_GENERAL_ERROR_BASE + 0x6008,
	B_NOT_SUPPORTED = B_GENERAL_ERROR_BASE + 0x7009,
	B_FILE_TOO_LARGE = B_GENERAL_ERROR_BASE + 0x701b,
};

// Four-character type codes, first character in the most significant byte.
enum : type_code {
	B_ANY_TYPE = 'ANYT',
	B_BOOL_TYPE = 'BOOL',
	B_CHAR_TYPE = 'CHAR',
	B_DOUBLE_TYPE = 'DBLE',
	B_FLOAT_TYPE = 'FLOT',
	B_INT8_TYPE = 'BYTE',
	B_INT16_TYPE = 'SHRT',
	B_INT32_TYPE = 'LONG',
	B_INT64_TYPE = 'LLNG',
	B_UINT8_TYPE = 'UBYT',
	B_UINT16_TYPE = 'USHT',
	B_UINT32_TYPE = 'ULNG',
	B_UINT64_TYPE = 'ULLG',
	B_POINTER_TYPE = 'PNTR',
	B_POINT_TYPE = 'BPNT',
	B_RECT_TYPE = 'RECT',
	B_RGB_COLOR_TYPE = 'RGBC',
	B_STRING_TYPE = 'CSTR',
	B_MESSAGE_TYPE = 'MSGG',
	B_MIME_TYPE = 'MIME',
	B_RAW_TYPE = 'RAWT',
};
