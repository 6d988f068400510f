// An environment variable set (or, with nullptr, unset) for one scope, and given back as it
// was when the scope ends.
#pragma once

#include <cstdlib>
#include <string>

class ScopedVariable {
public:
	ScopedVariable(const char* name, const char* value) : fName(name)
	{
		if (const char* old = getenv(name)) {
			fHad = true;
			fOld = old;
		}
		if (value != nullptr)
			setenv(name, value, 1);
		else
			unsetenv(name);
	}

	~ScopedVariable()
	{
		if (fHad)
			setenv(fName.c_str(), fOld.c_str(), 1);
		else
			unsetenv(fName.c_str());
	}

	ScopedVariable(const ScopedVariable&) = delete;
	ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
	std::string fName;
	std::string fOld;
	bool fHad = false;
};
