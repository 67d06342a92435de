// Twips to pixels with MulDiv, rounding as Windows does.
#include "app/win32/layout.h"

namespace telo::win32 {

Dpi ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const Dpi dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
  ReleaseDC(nullptr, screen);
  return dpi;
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

RECT PixelRect(const TwipsRect& twips, Dpi dpi) {
  const LONG left = TwipsToPixels(twips.left, dpi.x);
  const LONG top = TwipsToPixels(twips.top, dpi.y);
  return RECT{left, top, left + TwipsToPixels(twips.width, dpi.x),
              top + TwipsToPixels(twips.height, dpi.y)};
}

SIZE ClientSize(Dpi dpi) {
  return SIZE{TwipsToPixels(kClientWidthTwips, dpi.x), TwipsToPixels(kClientHeightTwips, dpi.y)};
}

SIZE FrameSize(Dpi dpi) {
  const SIZE client = ClientSize(dpi);
  RECT frame{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&frame, kFrmMainStyle, FALSE, kFrmMainExStyle);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

int ControlFontHeight(Dpi dpi) { return -MulDiv(825, dpi.y, 7200); }

HFONT CreateControlFont(Dpi dpi) {
  return CreateFontW(ControlFontHeight(dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"Verdana");
}

}  // namespace telo::win32
