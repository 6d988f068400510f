#include "WaitSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include "QuitSignals.h"
#include "SystemTime.h"

namespace BPrivate {

WakeUpPipe::WakeUpPipe()
{
	if (pipe2(fEnds, O_NONBLOCK | O_CLOEXEC) != 0)
		fEnds[0] = fEnds[1] = -1;
	QuitSignals::Install(fEnds[1]);
}

WakeUpPipe::~WakeUpPipe()
{
	QuitSignals::Remove();
	for (int end : fEnds) {
		if (end >= 0)
			close(end);
	}
}

void
WakeUpPipe::Wake()
{
	if (fEnds[1] >= 0) {
		ssize_t written = write(fEnds[1], "w", 1);
		(void)written; // a full pipe wakes the sleeper just as well
	}
}

bool
WakeUpPipe::Drain()
{
	char drain[64];
	bool woken = false;
	while (fEnds[0] >= 0 && read(fEnds[0], drain, sizeof(drain)) > 0)
		woken = true;
	return woken;
}

bool
RunWait(std::deque<BackendEvent>* pending, WakeUpPipe* wakeUps, const WaitSteps& steps,
	BackendEvent* event, int32 timeoutMs, std::vector<pollfd>* descriptors)
{
	if (descriptors != nullptr) {
		for (pollfd& descriptor : *descriptors)
			descriptor.revents = 0;
	}
	const int64 deadline = system_time_us() + (timeoutMs > 0 ? (int64)timeoutMs * 1000 : 0);
	while (true) {
		if (!pending->empty()) {
			*event = pending->front();
			pending->pop_front();
			return true;
		}
		const bool lostNews = *steps.lost && !*steps.lostReported;
		if (QuitSignals::Take() || lostNews) {
			*steps.lostReported = *steps.lost;
			BackendEvent quit;
			quit.type = BackendEvent::kQuit;
			pending->push_back(quit);
			continue;
		}
		if (steps.takeIn())
			return false;
		if (!pending->empty())
			continue;

		if (wakeUps->Drain() && !QuitSignals::Pending())
			return false;
		if (QuitSignals::Pending())
			continue;

		int64 remaining = -1;
		if (timeoutMs >= 0) {
			remaining = deadline - system_time_us();
			if (remaining <= 0) {
				// Even without time to wait, the other descriptors learn what is ready.
				if (descriptors != nullptr && !descriptors->empty())
					steps.sleep(0, descriptors);
				return false;
			}
		}
		remaining = EarlierWait(remaining, steps.untilOwnDeadline());
		if (steps.sleep(PollMilliseconds(remaining), descriptors))
			return false;
	}
}

int64
EarlierWait(int64 wait, int64 other)
{
	if (wait < 0)
		return other;
	return other >= 0 && other < wait ? other : wait;
}

int32
PollMilliseconds(int64 wait)
{
	return wait < 0 ? -1 : (int32)((wait + 999) / 1000);
}

bool
HandBackReadiness(const std::vector<pollfd>& polled, size_t own, std::vector<pollfd>* others)
{
	if (others == nullptr)
		return false;
	bool ready = false;
	for (size_t i = 0; i < others->size() && own + i < polled.size(); i++) {
		(*others)[i].revents = polled[own + i].revents;
		ready = ready || (*others)[i].revents != 0;
	}
	return ready;
}

} // namespace BPrivate
