// ComposeCache: libX11's compiled Compose table, kept in the user's cache so later starts map
// it instead of compiling it again. libX11 trusts what it maps there, and a damaged file
// crashes it at the first key; so every file it wrote gets a seal (size and checksum) beside
// it once it is complete, and a file whose seal is missing or does not match is removed
// before libX11 may read it (it then compiles the table again). Plain files, no X.
#pragma once

#include <string>

#include "SupportDefs.h"

namespace BPrivate {

class ComposeCache {
public:
	explicit ComposeCache(std::string directory);

	// $XDG_CACHE_HOME/kambolux/compose, made when missing; empty when there is no place
	// for it (libX11 keeps no cache for root, so none then either).
	static std::string DefaultDirectory();

	const std::string& Directory() const { return fDirectory; }
	// Removes the files that do not verify, and seals without their file; returns how many
	// files were removed.
	int32 Verify() const;
	// Seals the files that have none yet (those libX11 has just written).
	void Seal() const;

	// The seal's text for a file's content: its size and a 64-bit checksum.
	static std::string SealFor(const std::string& content);

private:
	std::string fDirectory;
};

} // namespace BPrivate
