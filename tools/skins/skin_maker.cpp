// skin_maker: draws the program's skin pictures with its own renderer and
// writes them as 8-bit RGBA PNG files into the folder given (app/skins/).
// scripts/make-skins runs it and makes the icon file from the two
// application icon pictures.
//
// What the pictures are. Strips hold square frames side by side, frame 0 at
// the left; "id" is the resource id in render/skin_ids.h.
//
// | file              | id  | size     | frames | role and what each frame shows                      |
// |-------------------|-----|----------|--------|-----------------------------------------------------|
// | app_icon_16.png   | 201 | 16x16    | 1      | the caption's icon: the program's disc with a flame |
// | app_icon_32.png   | -   | 32x32    | 1      | the same at 32 px, only in kelvane.ico (icon 128)   |
// | menu_icons.png    | 202 | 432x16   | 27     | menus, menu bars and icon buttons:                  |
// |                   |     |          |        |  0 exit (power sign)   1 open (open folder)         |
// |                   |     |          |        |  2 save (floppy)       3 undo    4 redo             |
// |                   |     |          |        |  5 cut (scissors)      6 copy (two pages)           |
// |                   |     |          |        |  7 paste (clipboard)   8 delete (bin)               |
// |                   |     |          |        |  9 drive   10 job list (kept for later entries)     |
// |                   |     |          |        | 11 Spanish (flag)     12 English (flag)             |
// |                   |     |          |        | 13 copy disc (two discs)  14 eject                  |
// |                   |     |          |        | 15 burn (disc, flame) 16 new project (page, star)   |
// |                   |     |          |        | 17 close (white cross, for red buttons)             |
// |                   |     |          |        | 18 help ("?" badge)   19 data project (disc, folder)|
// |                   |     |          |        | 20 audio CD (disc, notes)  21 new folder            |
// |                   |     |          |        | 22 add files (page, plus)  23 disc information      |
// |                   |     |          |        | 24 erase (disc, eraser)                             |
// |                   |     |          |        | 25 move up, 26 move down (white arrows for buttons) |
// |                   |     |          |        | Disabled entries use a tinted copy made at run time.|
// | message_icons.png | 203 | 192x48   | 4      | message box: 0 warning (triangle, "!"),             |
// |                   |     |          |        |  1 information ("i"), 2 question ("?"), 3 error (X) |
// | notice.png        | 204 | 48x48    | 1      | slide-in notice: a disc under a warning sign        |
// | host_corner.png   | 205 | 400x400  | 1      | page host background, bottom right: light and sheen |
// |                   |     |          |        |  of the large disc the host paints (its centre is   |
// |                   |     |          |        |  144 px from the right and bottom edges)            |
// | start_icons.png   | 206 | 160x32   | 5      | start tiles: 0 data project, 1 burn image,          |
// |                   |     |          |        |  2 copy disc, 3 audio project, 4 erase disc         |
// | job_buttons.png   | 207 | 64x16    | 4      | job page buttons (white on colour): 0 stop,         |
// |                   |     |          |        |  1 pause (second button), 2 resume, 3 close         |
// | job_status.png    | 208 | 48x16    | 3      | job result: 0 completed (green tick), 1 failed      |
// |                   |     |          |        |  (red cross), 2 completed with warnings (amber)     |
// | watermark.png     | 209 | 128x128  | 1      | job windows, drawn faded: the disc with its flame   |
// | pulse.png         | 210 | 16x16    | 1      | pulsing status picture: warning sign                |
// |                   |     |          |        | (job windows' eject buttons: menu strip frame 14)   |
// | browse_icons.png  | 211 | 112x16   | 7      | browse dialog tool bar: 0 back, 1 forward, 2 up,    |
// |                   |     |          |        |  3 icons, 4 list, 5 large list, 6 details           |
// | audio_tile.png    | 212 | 96x96    | 1      | audio project background tile (notes, small discs) |
#include <cstdio>
#include <string>

#include "png_writer.h"
#include "skin_art.h"
#include "skin_render.h"

namespace {

const SkinPicture kPictures[] = {
    {"app_icon_16.png", 16, 1, DrawAppIconSmall},
    {"app_icon_32.png", 32, 1, DrawAppIconLarge},
    {"menu_icons.png", 16, 27, DrawMenuIcon},
    {"message_icons.png", 48, 4, DrawMessageIcon},
    {"notice.png", 48, 1, DrawNotice},
    {"host_corner.png", 400, 1, DrawHostBackground},
    {"start_icons.png", 32, 5, DrawStartIcon},
    {"job_buttons.png", 16, 4, DrawJobButton},
    {"job_status.png", 16, 3, DrawJobStatus},
    {"watermark.png", 128, 1, DrawWatermark},
    {"pulse.png", 16, 1, DrawPulse},
    {"browse_icons.png", 16, 7, DrawBrowseIcon},
    {"audio_tile.png", 96, 1, DrawAudioTile},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin_maker <output folder>\n");
    return 2;
  }
  int failures = 0;
  for (const SkinPicture& picture : kPictures) {
    const std::vector<u32> pixels = RenderPicture(picture);
    const std::vector<u8> png = EncodePng(pixels.data(), picture.side * picture.frames, picture.side);
    const std::string path = std::string(argv[1]) + "/" + picture.file;
    if (png.empty() || !WriteFile(path.c_str(), png)) {
      std::fprintf(stderr, "skin_maker: cannot write %s\n", path.c_str());
      ++failures;
      continue;
    }
    std::printf("%s %dx%d, %zu bytes\n", picture.file, picture.side * picture.frames, picture.side,
                png.size());
  }
  return failures ? 1 : 0;
}
