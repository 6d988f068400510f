// Points and rectangles with the platform's conventions: float coordinates naming pixels,
// rectangles inclusive of both edges, so BRect(0, 0, 9, 9) covers 10 x 10 pixels.
#pragma once

#include <algorithm>
#include <cmath>

class BPoint {
public:
	float x = 0;
	float y = 0;

	constexpr BPoint() = default;
	constexpr BPoint(float ax, float ay) : x(ax), y(ay) {}

	void Set(float ax, float ay)
	{
		x = ax;
		y = ay;
	}
	constexpr BPoint operator+(const BPoint& o) const { return BPoint(x + o.x, y + o.y); }
	constexpr BPoint operator-(const BPoint& o) const { return BPoint(x - o.x, y - o.y); }
	BPoint& operator+=(const BPoint& o)
	{
		x += o.x;
		y += o.y;
		return *this;
	}
	BPoint& operator-=(const BPoint& o)
	{
		x -= o.x;
		y -= o.y;
		return *this;
	}
	constexpr bool operator==(const BPoint& o) const { return x == o.x && y == o.y; }
	constexpr bool operator!=(const BPoint& o) const { return !(*this == o); }
};

class BRect {
public:
	float left = 0;
	float top = 0;
	float right = -1;
	float bottom = -1;

	constexpr BRect() = default;
	constexpr BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
	constexpr BRect(BPoint lt, BPoint rb) : left(lt.x), top(lt.y), right(rb.x), bottom(rb.y) {}

	void Set(float l, float t, float r, float b)
	{
		left = l;
		top = t;
		right = r;
		bottom = b;
	}
	constexpr BPoint LeftTop() const { return BPoint(left, top); }
	constexpr BPoint RightBottom() const { return BPoint(right, bottom); }
	constexpr BPoint LeftBottom() const { return BPoint(left, bottom); }
	constexpr BPoint RightTop() const { return BPoint(right, top); }
	constexpr float Width() const { return right - left; }
	constexpr float Height() const { return bottom - top; }
	int32_t IntegerWidth() const { return (int32_t)std::ceil(right - left); }
	int32_t IntegerHeight() const { return (int32_t)std::ceil(bottom - top); }
	constexpr bool IsValid() const { return left <= right && top <= bottom; }

	constexpr bool Contains(BPoint p) const
	{
		return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
	}
	constexpr bool Contains(const BRect& r) const
	{
		return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
	}
	constexpr bool Intersects(const BRect& r) const
	{
		return IsValid() && r.IsValid()
			&& !(r.left > right || r.right < left || r.top > bottom || r.bottom < top);
	}

	BRect& InsetBy(float dx, float dy)
	{
		left += dx;
		top += dy;
		right -= dx;
		bottom -= dy;
		return *this;
	}
	BRect& OffsetBy(float dx, float dy)
	{
		left += dx;
		top += dy;
		right += dx;
		bottom += dy;
		return *this;
	}
	BRect& OffsetBy(BPoint d) { return OffsetBy(d.x, d.y); }
	BRect& OffsetTo(float x, float y) { return OffsetBy(x - left, y - top); }
	BRect& OffsetTo(BPoint p) { return OffsetTo(p.x, p.y); }
	BRect InsetByCopy(float dx, float dy) const
	{
		BRect r(*this);
		return r.InsetBy(dx, dy);
	}
	BRect OffsetByCopy(float dx, float dy) const
	{
		BRect r(*this);
		return r.OffsetBy(dx, dy);
	}
	BRect OffsetToCopy(float x, float y) const
	{
		BRect r(*this);
		return r.OffsetTo(x, y);
	}

	// Intersection.
	BRect operator&(const BRect& r) const
	{
		return BRect(std::max(left, r.left), std::max(top, r.top), std::min(right, r.right),
			std::min(bottom, r.bottom));
	}
	// Union (bounding box).
	BRect operator|(const BRect& r) const
	{
		if (!IsValid())
			return r;
		if (!r.IsValid())
			return *this;
		return BRect(std::min(left, r.left), std::min(top, r.top), std::max(right, r.right),
			std::max(bottom, r.bottom));
	}
	constexpr bool operator==(const BRect& r) const
	{
		return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
	}
	constexpr bool operator!=(const BRect& r) const { return !(*this == r); }
};
