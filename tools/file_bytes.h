// Whole files as bytes, named by UTF-8 paths.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// False (with an English message) when the file cannot be opened or read whole.
bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// Creates or empties the file and writes the pieces in order. False with a message on failure.
bool writeFileBytes(const std::string& path, const std::vector<const std::vector<uint8_t>*>& pieces,
                    std::string& error);

// `folder` and `name` joined with the system's separator, as UTF-8.
std::string joinPath(const std::string& folder, const std::string& name);
