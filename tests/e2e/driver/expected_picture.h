// What the viewer should paint: a picture as `render` wrote it (a BMP file), or a picture
// dithered to the halftone palette this platform gives an 8-bit screen.
#pragma once
#include <string>

#include "window_pixels.h"

// Reads a bottom-up BMP file of 24, 8 or 4 bits (colours from its table) into top-down
// 0x00RRGGBB pixels; false when it is not one.
bool readBmp(const std::wstring& path, ScreenPixels& picture);

// The picture file as the viewer shows it on Wine's 8-bit screen: dithered with the cube table
// built for the platform's own halftone palette, each index shown as the static colour nearest
// to that palette entry (Wine's shared colormap keeps only the static colours for palettes).
bool ditheredPicture(const std::wstring& path, ScreenPixels& picture);

// A picture file as `render` shows it on a true-colour screen, from the same portable loaders
// (24-bit pixels as they are, 4- and 8-bit ones through the colour table).
bool trueColourPicture(const std::wstring& path, ScreenPixels& picture);

// Pixels that differ between the picture and the top-left part of the screen grab of that size.
// -1 when the grab is smaller than the picture.
long differingPixels(const ScreenPixels& picture, const ScreenPixels& grab);

// "(x,y) expected RRGGBB got RRGGBB" for the first few differing pixels.
std::string firstDifferences(const ScreenPixels& picture, const ScreenPixels& grab, int count = 4);

// The picture file as the viewer shows it reduced to width x height on an 8-bit screen, read in
// its process: the area-average reduction of the 24-bit picture, dithered with the platform's
// halftone palette, each index as its palette colour.
bool reducedDitheredPicture(const std::wstring& path, int width, int height, ScreenPixels& picture);
