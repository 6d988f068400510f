#include "QuitSignals.h"

#include <cerrno>
#include <csignal>
#include <iterator>
#include <unistd.h>

namespace BPrivate {
namespace QuitSignals {

namespace {

volatile sig_atomic_t sQuitSignal = 0;
int sSignalPipe = -1;
const int kQuitSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction sPreviousActions[std::size(kQuitSignals)];

void
OnQuitSignal(int)
{
	sQuitSignal = 1;
	if (sSignalPipe >= 0) {
		const int saved = errno;
		ssize_t written = write(sSignalPipe, "q", 1);
		(void)written; // a full pipe wakes the loop just as well
		errno = saved;
	}
}

} // namespace

void
Install(int wakeFd)
{
	sSignalPipe = wakeFd;
	for (size_t i = 0; i < std::size(kQuitSignals); i++) {
		struct sigaction action {};
		action.sa_handler = OnQuitSignal;
		sigemptyset(&action.sa_mask);
		action.sa_flags = SA_RESTART;
		sigaction(kQuitSignals[i], &action, &sPreviousActions[i]);
	}
}

void
Remove()
{
	for (size_t i = 0; i < std::size(kQuitSignals); i++)
		sigaction(kQuitSignals[i], &sPreviousActions[i], nullptr);
	sSignalPipe = -1;
}

bool
Pending()
{
	return sQuitSignal != 0;
}

bool
Take()
{
	if (sQuitSignal == 0)
		return false;
	sQuitSignal = 0;
	return true;
}

} // namespace QuitSignals
} // namespace BPrivate
