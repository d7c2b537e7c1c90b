// The pictures `make` is given: files as named, and folders expanded into the pictures inside
// them (by extension, no subfolders) in the order Explorer sorts names.
#pragma once
#include <string>
#include <vector>

// Explorer's logical order of two UTF-8 file names: runs of digits compare by their value (p2
// before p10), other characters without regard to ASCII case. Negative, zero or positive.
int compareNaturally(const std::string& a, const std::string& b);

// True for a name whose extension marks a picture file (case-insensitive).
bool hasPictureExtension(const std::string& name);

// Each input that is a folder becomes its pictures in natural order; anything else stays as
// given. False with a message when a folder cannot be read or holds no pictures.
bool expandPictureInputs(const std::vector<std::string>& inputs, std::vector<std::string>& pictures,
                         std::string& error);
