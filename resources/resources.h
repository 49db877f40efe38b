// The data the program carries, built into it as byte arrays.
#pragma once

#include <span>

using ResourceImage = std::span<const unsigned char>;

// The skin engine library, written out as "C:\\Windows\\jedata.dll" at every start.
extern const ResourceImage SkinEngineImage;
// The skin file for that engine, written out as "C:\\Windows\\win8.she"; starts with ".SHE".
extern const ResourceImage SkinFileImage;
// The TrueType font "Setup" whose glyphs U+E052..U+E0CA are the busy ring's frames.
extern const ResourceImage SetupFontImage;
// The program's icon: one 48 x 48 image, 32 bits per pixel.
extern const ResourceImage ProgramIconImage;
// MainWindow's banner (BMP 427 x 22, 24-bit), animated logo (GIF 138 x 60) and footer
// (JPEG 1353 x 105); CloudLinkWindow's banner (JPEG 865 x 130).
extern const ResourceImage BannerPictureImage;
extern const ResourceImage LogoPictureImage;
extern const ResourceImage FooterPictureImage;
extern const ResourceImage CloudBannerPictureImage;
