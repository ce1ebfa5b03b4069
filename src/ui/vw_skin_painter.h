#pragma once
// The seam through which the shadow window and the window animation draw named skins
// ("dlg_shadow", "white_light") without depending on the skin table itself. Unless the
// program sets another, the default painter draws from the process-wide skin pool.
#include <windows.h>

namespace kbase {

class IVwSkinPainter {
 public:
  virtual ~IVwSkinPainter() = default;
  // Size of the whole picture of the named skin; false when there is no such skin or it
  // has no picture.
  virtual bool GetSkinImageSize(const char* skin, SIZE* size) = 0;
  // Draws the source rectangle of the picture stretched into the destination, blending
  // with its per-pixel alpha.
  virtual void DrawSkinStretch(const char* skin, HDC dc, const RECT& destination, const RECT& source) = 0;
};

// The skins of VwSkinPool: the whole picture of a "png" skin (every frame), stretched and
// blended with the skin's own alpha.
class VwPoolSkinPainter : public IVwSkinPainter {
 public:
  static VwPoolSkinPainter& Instance();
  bool GetSkinImageSize(const char* skin, SIZE* size) override;
  void DrawSkinStretch(const char* skin, HDC dc, const RECT& destination, const RECT& source) override;
};

// The process-wide painter used where none is given (not owned; null restores the pool
// painter). Set it once before the first window opens.
void SetDefaultSkinPainter(IVwSkinPainter* painter);
IVwSkinPainter* DefaultSkinPainter();

}  // namespace kbase
