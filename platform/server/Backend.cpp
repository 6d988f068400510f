#include "Backend.h"

#include "HeadlessBackend.h"

namespace BPrivate {

namespace {

std::unique_ptr<Backend>&
Slot()
{
	static std::unique_ptr<Backend> backend;
	return backend;
}

} // namespace

Backend*
CurrentBackend()
{
	std::unique_ptr<Backend>& backend = Slot();
	if (!backend) {
		backend = CreateSDLBackend();
		if (!backend)
			backend = std::make_unique<HeadlessBackend>();
	}
	return backend.get();
}

void
SetBackend(std::unique_ptr<Backend> backend)
{
	Slot() = std::move(backend);
}

bool
HasBackend()
{
	return Slot() != nullptr;
}

} // namespace BPrivate
