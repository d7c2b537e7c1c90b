// JSON string literals.
#pragma once
#include <string>

// `utf8` as a JSON string, quotes included: '"', '\' and control characters escaped.
std::string jsonString(const std::string& utf8);
