// GLib's context served through the kit's descriptor wait: descriptors and timeouts handed out,
// ready sources dispatched, and no wake-up when nothing is pending.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "GLibLoopWatcher.h"

namespace {

class GLibLoopWatcherTest : public testing::Test {
protected:
	void SetUp() override
	{
		fContext = g_main_context_new();
		fWatcher = std::make_unique<KamboAtk::GLibLoopWatcher>(fContext);
	}

	void TearDown() override
	{
		fWatcher.reset();
		g_main_context_unref(fContext);
	}

	// One turn of the kit's loop: prepare, poll, dispatch.
	int32 Turn(int32 maxWait = 1000)
	{
		std::vector<pollfd> descriptors;
		int32 timeout = fWatcher->Prepare(&descriptors);
		int32 wait = timeout < 0 ? maxWait : std::min(timeout, maxWait);
		poll(descriptors.data(), descriptors.size(), wait);
		fWatcher->Dispatch(descriptors);
		return timeout;
	}

	GMainContext* fContext;
	std::unique_ptr<KamboAtk::GLibLoopWatcher> fWatcher;
};

TEST_F(GLibLoopWatcherTest, NothingPendingMeansNoTimeout)
{
	std::vector<pollfd> descriptors;
	EXPECT_EQ(fWatcher->Prepare(&descriptors), -1);
	// Only the context's own wake-up descriptor.
	EXPECT_LE(descriptors.size(), 1u);
	fWatcher->Dispatch(descriptors);
}

TEST_F(GLibLoopWatcherTest, ATimeoutBoundsTheWaitAndFires)
{
	int fired = 0;
	GSource* source = g_timeout_source_new(30);
	g_source_set_callback(
		source,
		[](gpointer data) -> gboolean {
			(*static_cast<int*>(data))++;
			return G_SOURCE_REMOVE;
		},
		&fired, nullptr);
	g_source_attach(source, fContext);
	g_source_unref(source);

	int32 timeout = Turn();
	EXPECT_GE(timeout, 0);
	EXPECT_LE(timeout, 30);
	for (int i = 0; i < 10 && fired == 0; i++)
		Turn();
	EXPECT_EQ(fired, 1);
	// Gone again: back to an unbounded wait.
	std::vector<pollfd> descriptors;
	EXPECT_EQ(fWatcher->Prepare(&descriptors), -1);
	fWatcher->Dispatch(descriptors);
}

TEST_F(GLibLoopWatcherTest, AReadyDescriptorDispatchesItsSource)
{
	int pipeFds[2];
	ASSERT_EQ(pipe(pipeFds), 0);
	GIOChannel* channel = g_io_channel_unix_new(pipeFds[0]);
	GSource* source = g_io_create_watch(channel, G_IO_IN);
	int reads = 0;
	g_source_set_callback(source,
		G_SOURCE_FUNC(+[](GIOChannel* io, GIOCondition, gpointer data) -> gboolean {
			char byte;
			EXPECT_EQ(read(g_io_channel_unix_get_fd(io), &byte, 1), 1);
			(*static_cast<int*>(data))++;
			return G_SOURCE_CONTINUE;
		}),
		&reads, nullptr);
	g_source_attach(source, fContext);

	// The loop sees the pipe among the descriptors, with others before it in the list.
	std::vector<pollfd> descriptors{pollfd{-1, 0, 0}};
	EXPECT_EQ(fWatcher->Prepare(&descriptors), -1);
	bool listed = false;
	for (size_t i = 1; i < descriptors.size(); i++)
		listed = listed || descriptors[i].fd == pipeFds[0];
	EXPECT_TRUE(listed);
	fWatcher->Dispatch(descriptors);
	EXPECT_EQ(reads, 0);

	ASSERT_EQ(write(pipeFds[1], "x", 1), 1);
	Turn(100);
	EXPECT_EQ(reads, 1);

	// The kit's loop prepares all watchers into one list but hands each its own part back.
	ASSERT_EQ(write(pipeFds[1], "y", 1), 1);
	std::vector<pollfd> shared{pollfd{-1, 0, 0}, pollfd{-1, 0, 0}};
	fWatcher->Prepare(&shared);
	poll(shared.data(), shared.size(), 100);
	std::vector<pollfd> own(shared.begin() + 2, shared.end());
	fWatcher->Dispatch(own);
	EXPECT_EQ(reads, 2);

	g_source_destroy(source);
	g_source_unref(source);
	g_io_channel_unref(channel);
	close(pipeFds[0]);
	close(pipeFds[1]);
}

} // namespace
