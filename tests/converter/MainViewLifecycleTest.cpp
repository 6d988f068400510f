// The converter view taken out of its window and put back, as a platform program may do:
// it keeps its fields, buttons and images instead of building them again.
#include "ConverterFixture.h"

TEST_F(ConverterTest, AViewPutBackKeepsItsChildrenAndState)
{
	Start();
	Type("100");
	TMainView* view = View();
	const TEdit* source = view->SourceField();
	ASSERT_EQ(5, view->CountChildren());

	ASSERT_TRUE(view->RemoveSelf());
	Window()->AddChild(view);
	Drain();

	EXPECT_EQ(5, view->CountChildren());
	EXPECT_EQ(source, view->SourceField());
	EXPECT_EQ("100", SourceText());
	EXPECT_EQ("51.129188 . . .", EuroText());
	Quit();
}
