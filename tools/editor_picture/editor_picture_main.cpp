// editor_picture OUT.png: a picture of Quorvalent's editor as a new instance shows it (the default
// program: steps 1, 2 and 6 on) with the lamp of the first step lit, drawn by the plug-in's own
// drawing surface without a window.
#include "effect/Quorvalent.h"
#include "gui/IGraphics.h"
#include "raster/px.h"
#include "tools/editor_picture/png_writer.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
  if (argc != 2)
  {
    fprintf(stderr, "usage: editor_picture OUT.png\n");
    return 2;
  }
  PluginInstanceInfo info{nullptr};
  std::unique_ptr<Quorvalent> plug(new Quorvalent(info));
  IGraphics* pGraphics = plug->GetGUI();
  if (!pGraphics)
  {
    fprintf(stderr, "editor_picture: the plug-in has no editor\n");
    return 1;
  }
  plug->OnIdle();  // the lamps follow the published step
  IRECT all(0, 0, pGraphics->Width(), pGraphics->Height());
  pGraphics->Draw(&all);
  if (!WritePNG(pGraphics->GetDrawBitmap(), argv[1]))
  {
    fprintf(stderr, "editor_picture: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
