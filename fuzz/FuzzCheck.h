// A failed property in a fuzz target: print what broke and abort, so libFuzzer keeps the input
// as a crash and stops. Unlike assert it stays on in every build type.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                                \
	do {                                                                                           \
		if (!(condition)) {                                                                        \
			fprintf(stderr, "%s:%d: property failed: %s (%s)\n", __FILE__, __LINE__, what,         \
				#condition);                                                                       \
			abort();                                                                               \
		}                                                                                          \
	} while (false)
