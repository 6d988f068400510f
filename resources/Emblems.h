// The emblems drawn over the bands of the later flags, each into the flag whose top row is
// `top` (in the strip's own pixels at scale 1).
#pragma once

#include "Canvas.h"

namespace draw {

constexpr int kFlagWidth = 24;
constexpr int kFlagHeight = 12;

void CroatianShield(Canvas& canvas, int top);
void MalteseCross(Canvas& canvas, int top);
void SlovakShield(Canvas& canvas, int top);
void SlovenianShield(Canvas& canvas, int top);
void CypriotIsland(Canvas& canvas, int top);

} // namespace draw
