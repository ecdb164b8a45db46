#pragma once
// FontStorage: the process-wide cache of made fonts, by font description.
//
// A font is made from a face, a size, an orientation and a style; colour, alignment and quality are
// not part of the description, so text styles that differ only in those share the font made for
// the first. Making a font and rendering its glyphs is slow and gives the same font to every
// instance, so each description is made once per process. The cache owns its fonts until the
// library is unloaded.
//
// Threads: instances may build and draw their editors on different host threads, so every
// operation holds the cache's own lock. The destructor takes none (it runs at unload). A shared
// font's colour must be set and its text drawn in one hold of the text lock (IGraphics::DrawIText
// does so), or another editor could recolour it in between.
//
// Careful: IText::mFont is a public fixed array that need not be terminated. Keys copy at most
// FONT_LEN - 1 characters of it and terminate, and faces compare over that many at most.

#include "framework/base/Mutex.h"
#include "framework/base/PtrList.h"
#include "gui/IGraphicsStructs.h"

class FontStorage
{
public:
  struct FontKey
  {
    int size;
    int orientation;
    int style;
    char face[FONT_LEN];  // always terminated
    PX_IFont* font;

    FontKey(const IText* pText, PX_IFont* pFont);
    // Same size, orientation and style, and the same face (case-sensitive).
    bool Describes(const IText* pText) const;
  };

  FontStorage() = default;
  // Deletes every font, then every key.
  ~FontStorage();

  // Appends a key for the text's description holding the font; no duplicate check.
  void Add(PX_IFont* pFont, IText* pText);
  // The font of the first key describing the text, or null.
  PX_IFont* Find(IText* pText);

  // Find, and when nothing is found make(face) and Add its result unless it is null, all in one
  // hold of the lock: editors drawing text at once on several threads make each font once. face
  // is the key's terminated copy of the text's face.
  template <class MAKE>
  PX_IFont* FindOrAdd(IText* pText, MAKE make)
  {
    return QvFindOrMake(
      &m_mutex, [&] { return Find(pText); },
      [&]() -> PX_IFont* {
        const FontKey key(pText, nullptr);
        return make(key.face);
      },
      [&](PX_IFont* pFont) { Add(pFont, pText); });
  }

  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

private:
  QvPtrList<FontKey> m_fonts;
  QvMutex m_mutex;
};

// The platform's font for a text style, as a cached font that owns it and may draw through the
// system's text drawing: a GDI font on Windows; elsewhere the built-in 8x8 glyphs scaled to the
// size (the least a surface without a window needs). Null when the platform cannot make it.
PX_IFont* MakeCachedFont(const char* face, int size, int orientation, IText::EStyle style,
                         IText::EQuality quality);
