// The about window's background: panel colour, the grey band at the left and the application
// icon over the band's edge. The parent of the button and the text; draws nothing else.
#pragma once

#include "View.h"

class TPicView : public BView {
public:
	explicit TPicView(BRect frame);
	~TPicView() override;

	void Draw(BRect updateRect) override;
};
