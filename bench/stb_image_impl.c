/* stb_image compiled once, JPEG only, with its default options. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include "stb_image.h"
