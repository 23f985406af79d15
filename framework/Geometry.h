// CPoint, CSize and CRect: POINT, SIZE and RECT with the usual arithmetic. They have the
// Windows layouts (a CRect* is an LPRECT) but need no windows.h: pure logic can use them.
#pragma once

#ifdef _WIN32
#include <windef.h>
#else
// Native builds (unit tests, sanitizers) lack the Windows headers: the same layouts here.
typedef int LONG;
typedef struct tagPOINT { LONG x, y; } POINT, *LPPOINT;
typedef const POINT* LPCPOINT;
typedef struct tagSIZE { LONG cx, cy; } SIZE, *LPSIZE;
typedef struct tagRECT { LONG left, top, right, bottom; } RECT, *LPRECT;
typedef const RECT* LPCRECT;
#endif

class CSize : public SIZE {
public:
    CSize() { cx = cy = 0; }
    CSize(int x, int y) { cx = x; cy = y; }
    CSize(const SIZE& s) { cx = s.cx; cy = s.cy; }
    bool operator==(const SIZE& s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(const SIZE& s) const { return !(*this == s); }
    CSize operator+(const SIZE& s) const { return CSize(cx + s.cx, cy + s.cy); }
    CSize operator-(const SIZE& s) const { return CSize(cx - s.cx, cy - s.cy); }
};

class CPoint : public POINT {
public:
    CPoint() { x = y = 0; }
    CPoint(int nx, int ny) { x = nx; y = ny; }
    CPoint(const POINT& p) { x = p.x; y = p.y; }
    void Offset(int dx, int dy) { x += dx; y += dy; }
    bool operator==(const POINT& p) const { return x == p.x && y == p.y; }
    bool operator!=(const POINT& p) const { return !(*this == p); }
    CPoint operator+(const SIZE& s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(const SIZE& s) const { return CPoint(x - s.cx, y - s.cy); }
    CSize operator-(const POINT& p) const { return CSize(x - p.x, y - p.y); }
    CPoint& operator+=(const SIZE& s) { x += s.cx; y += s.cy; return *this; }
    CPoint& operator-=(const SIZE& s) { x -= s.cx; y -= s.cy; return *this; }
};

// Rectangles are half-open as in Windows: right and bottom lie just outside.
class CRect : public RECT {
public:
    CRect() { SetRectEmpty(); }
    CRect(int l, int t, int r, int b) { SetRect(l, t, r, b); }
    CRect(const RECT& rc) { SetRect(rc.left, rc.top, rc.right, rc.bottom); }
    CRect(const POINT& topLeft, const SIZE& size) { SetRect(topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy); }
    CRect(const POINT& topLeft, const POINT& bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(const POINT& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(LPCRECT prc) { *this = *prc; }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void OffsetRect(const POINT& p) { OffsetRect(p.x, p.y); }
    void OffsetRect(const SIZE& s) { OffsetRect(s.cx, s.cy); }
    void InflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void NormalizeRect();
    // Both return false and leave an empty (all-zero) rectangle when the result is empty,
    // as IntersectRect/UnionRect in USER32 do.
    bool IntersectRect(LPCRECT a, LPCRECT b);
    bool UnionRect(LPCRECT a, LPCRECT b);

    bool operator==(const RECT& rc) const { return left == rc.left && top == rc.top && right == rc.right && bottom == rc.bottom; }
    bool operator!=(const RECT& rc) const { return !(*this == rc); }
};

inline void CRect::NormalizeRect()
{
    if (left > right) { LONG t = left; left = right; right = t; }
    if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
}

inline bool CRect::IntersectRect(LPCRECT a, LPCRECT b)
{
    const CRect r(a->left > b->left ? a->left : b->left, a->top > b->top ? a->top : b->top,
                  a->right < b->right ? a->right : b->right, a->bottom < b->bottom ? a->bottom : b->bottom);
    if (r.IsRectEmpty()) {
        SetRectEmpty();
        return false;
    }
    *this = r;
    return true;
}

inline bool CRect::UnionRect(LPCRECT pa, LPCRECT pb)
{
    const CRect a(*pa), b(*pb);
    if (a.IsRectEmpty() && b.IsRectEmpty()) {
        SetRectEmpty();
        return false;
    }
    if (a.IsRectEmpty()) { *this = b; return true; }
    if (b.IsRectEmpty()) { *this = a; return true; }
    SetRect(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom);
    return true;
}
