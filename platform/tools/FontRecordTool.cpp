// kambolux-fonts PATH: resolves the kit's fonts for every display scale, as a user without
// fontconfig files of their own would get them, and writes the system's record at PATH (the
// package runs it at install and whenever fonts or fontconfig's files change). The program
// then starts without loading fontconfig's configuration on a user's first start too.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DisplayScale.h"
#include "Font.h"
#include "FontCache.h"

int
main(int argc, char** argv)
{
	if (argc != 2 || argv[1][0] != '/') {
		fprintf(stderr, "Aufruf: kambolux-fonts /PFAD/ZUR/DATEI\n");
		return 2;
	}
	// Whoever runs this (root, at install), their own fontconfig files must not go into a
	// record for everyone.
	setenv("HOME", "/nonexistent/kambolux-fonts", 1);
	unsetenv("XDG_CONFIG_HOME");
	unsetenv("XDG_DATA_HOME");

	const std::string path = argv[1];
	const std::string folder = path.substr(0, path.rfind('/'));
	if (!folder.empty() && mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
		fprintf(stderr, "kambolux-fonts: %s: %s\n", folder.c_str(), strerror(errno));
		return 1;
	}

	if (BPrivate::WriteFontRecord(path, BPrivate::KitFontsAtScales(BPrivate::kMaxDisplayScale))
		!= B_OK) {
		fprintf(stderr, "kambolux-fonts: %s: nicht geschrieben\n", path.c_str());
		return 1;
	}
	return 0;
}
