// The converter window on a display of scale 2: the same layout in blocks of 2 x 2 pixels.
// Points of the layout (the fields' frames, the swap arrows, the limits of the three bands)
// show the colour they have at scale 1 in their whole block, and a click anywhere in a
// block reaches what that layout point reaches at scale 1.
#include "ConverterFixture.h"

#include <optional>

#include "EventLoop.h"
#include "Menu.h"
#include "MenuItem.h"
#include "PopUpMenu.h"

namespace {

constexpr int32 kScale = 2;
constexpr int32 kSource = 3; // FRF
constexpr int32 kTarget = 6; // ITL

enum class Reaches { kSwap, kSourceList, kRoundingList, kTargetList };

const char*
Describe(Reaches reaches)
{
	switch (reaches) {
		case Reaches::kSwap:
			return "swap";
		case Reaches::kSourceList:
			return "source list";
		case Reaches::kRoundingList:
			return "rounding list";
		case Reaches::kTargetList:
			return "target list";
	}
	return "?";
}

const struct {
	BPoint where;
	Reaches reaches;
} kLayoutPoints[] = {
	// The swap area's corners, edges included, and just beside it.
	{{12, 45}, Reaches::kSwap},
	{{32, 45}, Reaches::kSwap},
	{{12, 66}, Reaches::kSwap},
	{{32, 66}, Reaches::kSwap},
	{{11, 50}, Reaches::kRoundingList},
	{{33, 60}, Reaches::kRoundingList},
	// The bands' limits: above 46 the source row, below 67 the target row.
	{{180, 45}, Reaches::kSourceList},
	{{180, 46}, Reaches::kRoundingList},
	{{180, 67}, Reaches::kRoundingList},
	{{180, 68}, Reaches::kTargetList},
	{{2, 2}, Reaches::kSourceList},
	{{5, 110}, Reaches::kTargetList},
	// The corners of the fields' sunken frames.
	{{43, 19}, Reaches::kSourceList},
	{{172, 19}, Reaches::kSourceList},
	{{43, 45}, Reaches::kSourceList},
	{{172, 45}, Reaches::kSourceList},
	{{43, 67}, Reaches::kRoundingList},
	{{172, 67}, Reaches::kRoundingList},
	{{43, 93}, Reaches::kTargetList},
	{{172, 93}, Reaches::kTargetList},
};

class ScaleTest : public ConverterTest {
protected:
	// The window's picture, as presented.
	std::vector<uint32> Picture(int32* width, int32* height)
	{
		std::vector<uint32> pixels;
		EXPECT_TRUE(fBackend->Snapshot(WindowId(), width, height, &pixels));
		return pixels;
	}

	void StartAt(int32 scale)
	{
		fBackend->SetScale(scale);
		Start();
		Command('MpIO', "whg", kSource);
		Command('MpIU', "whg", kTarget);
	}

	// What a click at a window pixel did: swapped, or opened which list (told apart by its
	// marked item and its length).
	std::optional<Reaches> ClickAt(BPoint windowPixel)
	{
		std::optional<Reaches> opened;
		BPrivate::EventLoop::SetIdleHook([&opened] {
			BMenu* menu = BPrivate::TrackedMenu();
			if (menu == nullptr)
				return;
			int32 marked = -1;
			for (int32 i = 0; i < menu->CountItems(); i++) {
				if (menu->ItemAt(i)->IsMarked())
					marked = i;
			}
			if (menu->CountItems() <= 4)
				opened = Reaches::kRoundingList;
			else if (marked == kSource)
				opened = Reaches::kSourceList;
			else if (marked == kTarget)
				opened = Reaches::kTargetList;
			BPrivate::CloseTrackedMenu();
		});
		fBackend->InjectClick(WindowId(), windowPixel);
		Drain();
		BPrivate::EventLoop::SetIdleHook(nullptr);
		if (View()->SourceIndex() == kTarget && View()->TargetIndex() == kSource) {
			// Swap back for the next click.
			fBackend->InjectClick(WindowId(), windowPixel);
			Drain();
			return Reaches::kSwap;
		}
		return opened;
	}
};

} // namespace

TEST_F(ScaleTest, LayoutPointsLandOnTheDoubledGrid)
{
	StartAt(1);
	int32 width = 0, height = 0;
	std::vector<uint32> single = Picture(&width, &height);
	ASSERT_EQ(207, width);
	ASSERT_EQ(113, height);
	Quit();

	fBackend = BPrivate::HeadlessBackend::Install();
	StartAt(kScale);
	int32 scaledWidth = 0, scaledHeight = 0;
	std::vector<uint32> scaled = Picture(&scaledWidth, &scaledHeight);
	ASSERT_EQ(414, scaledWidth);
	ASSERT_EQ(226, scaledHeight);
	EXPECT_EQ(206, Info().frame.IntegerWidth());
	EXPECT_EQ(112, Info().frame.IntegerHeight());

	for (const auto& point : kLayoutPoints) {
		int32 x = (int32)point.where.x;
		int32 y = (int32)point.where.y;
		uint32 expected = single[(size_t)y * width + x];
		for (int32 dy = 0; dy < kScale; dy++) {
			for (int32 dx = 0; dx < kScale; dx++) {
				EXPECT_EQ(expected,
					scaled[(size_t)(kScale * y + dy) * scaledWidth + kScale * x + dx])
					<< "layout point " << x << "," << y << " pixel " << dx << "," << dy;
			}
		}
	}
}

TEST_F(ScaleTest, ClicksAnywhereInABlockHitTheLayoutPointsTarget)
{
	StartAt(kScale);
	for (const auto& point : kLayoutPoints) {
		for (BPoint corner : {BPoint(0, 0), BPoint(kScale - 1, kScale - 1)}) {
			BPoint pixel(point.where.x * kScale + corner.x, point.where.y * kScale + corner.y);
			std::optional<Reaches> reached = ClickAt(pixel);
			ASSERT_TRUE(reached.has_value()) << "nothing at " << pixel.x << "," << pixel.y;
			EXPECT_EQ(point.reaches, *reached)
				<< "window pixel " << pixel.x << "," << pixel.y << " reached " << Describe(*reached)
				<< ", not " << Describe(point.reaches);
		}
	}
	EXPECT_EQ(kSource, View()->SourceIndex());
	EXPECT_EQ(kTarget, View()->TargetIndex());
}
