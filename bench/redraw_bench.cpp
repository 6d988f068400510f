// One full repaint of the converter window's 207 x 113 backing store through the painter:
// background, three bitmaps, four ellipses, twelve lines and a dozen strings, with the text
// widths measured anew each time as the converter view does.
#include <cairo.h>

#include <cstring>
#include <memory>
#include <utility>

#include <benchmark/benchmark.h>

#include "Bitmap.h"
#include "Font.h"
#include "Painter.h"

namespace {

using BPrivate::Painter;

std::unique_ptr<BBitmap>
FilledBitmap(BRect bounds, uint32 seed)
{
	auto bitmap = std::make_unique<BBitmap>(bounds, B_RGB32);
	uint32* pixels = static_cast<uint32*>(bitmap->Bits());
	for (int32 i = 0; i < bitmap->BitsLength() / 4; i++)
		pixels[i] = seed * 2654435761u + (uint32)i * 40503u;
	return bitmap;
}

void
DrawCentred(Painter& painter, const char* text, float centre, float baseline, const BFont& font)
{
	float width = font.StringWidth(text);
	painter.DrawString(text, (int32)strlen(text), BPoint(centre - width / 2, baseline), font,
		make_color(0, 0, 0));
}

void
BM_FullRedraw(benchmark::State& state)
{
	cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 207, 113);
	auto strip = FilledBitmap(BRect(0, 0, 23, 143), 1);
	auto euroFlag = FilledBitmap(BRect(0, 0, 14, 14), 2);
	auto arrows = FilledBitmap(BRect(0, 0, 20, 21), 3);
	const rgb_color white = make_color(255, 255, 255);
	const rgb_color dark = make_color(99, 97, 99);
	const rgb_color light = make_color(189, 186, 189);
	const rgb_color black = make_color(0, 0, 0);
	BFont plate(be_bold_font);
	plate.SetSize(15);

	for (auto _ : state) {
		Painter painter(surface, BPoint(0, 0), BRect(0, 0, 206, 112));
		painter.FillRect(BRect(0, 0, 206, 112), make_color(216, 216, 216));
		painter.DrawBitmap(strip.get(), BRect(0, 12, 27, 23), BRect(10, 30, 37, 41), B_OP_COPY);
		painter.DrawBitmap(euroFlag.get(), euroFlag->Bounds(), BRect(15, 68, 29, 82), B_OP_COPY);
		painter.DrawBitmap(arrows.get(), arrows->Bounds(), BRect(12, 45, 32, 66), B_OP_COPY);
		painter.FillEllipse(BRect(2, 2, 43, 24), white);
		painter.FillEllipse(BRect(2, 88, 43, 110), white);

		const struct {
			BPoint from;
			BPoint to;
			rgb_color color;
		} lines[] = {
			{BPoint(44, 45), BPoint(172, 45), white},
			{BPoint(172, 45), BPoint(172, 20), white},
			{BPoint(44, 93), BPoint(172, 93), white},
			{BPoint(172, 93), BPoint(172, 68), white},
			{BPoint(44, 44), BPoint(44, 20), dark},
			{BPoint(44, 20), BPoint(171, 20), dark},
			{BPoint(44, 92), BPoint(44, 68), dark},
			{BPoint(44, 68), BPoint(171, 68), dark},
			{BPoint(43, 45), BPoint(43, 19), light},
			{BPoint(43, 19), BPoint(172, 19), light},
			{BPoint(43, 93), BPoint(43, 67), light},
			{BPoint(43, 67), BPoint(172, 67), light},
		};
		for (const auto& line : lines)
			painter.StrokeLine(line.from, line.to, line.color, 1);

		painter.StrokeEllipse(BRect(1, 1, 44, 25), black, 2);
		painter.StrokeEllipse(BRect(1, 86, 44, 111), black, 2);

		DrawCentred(painter, "Ausgangswährung", 105, 16, *be_bold_font);
		DrawCentred(painter, "Zielwährung", 105, 105, *be_bold_font);
		for (auto [text, baseline] : {std::pair("DEM", 37.0f), {"EUR", 61.0f}, {"FRF", 86.0f}})
			painter.DrawString(text, 3, BPoint(177, baseline), *be_bold_font, black);
		DrawCentred(painter, "D", 23, 19, plate);
		DrawCentred(painter, "F", 23, 105, plate);
		// What the three text fields show.
		painter.DrawString("1234.56", 7, BPoint(100, 37), *be_bold_font, black);
		painter.DrawString("631.22 . . .", 12, BPoint(100, 61), *be_plain_font, black);
		painter.DrawString("4140.67", 7, BPoint(100, 86), *be_bold_font, black);
		DrawCentred(painter, "=", 162, 37, *be_bold_font);
		DrawCentred(painter, "?", 201, 110, *be_plain_font);
	}
	cairo_surface_destroy(surface);
}

} // namespace

BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
