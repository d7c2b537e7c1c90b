// Parsing a subcommand's arguments: options with a value, flags, and the rest in order.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct Arguments {
    std::map<std::string, std::string> values;  // "--title" -> "春の本"
    std::set<std::string> flags;                // "--json"
    std::vector<std::string> positional;
    std::string error;                          // empty when the arguments were understood

    bool has(const std::string& option) const { return values.count(option) != 0; }
};

// Splits argv[1..argc-1]. `valueOptions` take the next argument as their value, `flagOptions`
// stand alone; any other argument beginning with "--" is an error, as is an option given twice.
Arguments parseArguments(int argc, char** argv, const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flagOptions);

// A 32-bit setting: decimal (-2147483648 to 4294967295) or hexadecimal with 0x (up to 0xFFFFFFFF).
// Negative values are stored as their two's complement.
bool parseSetting(const std::string& text, uint32_t& value);

// A page number: decimal, 1 to 4294967295.
bool parsePage(const std::string& text, uint32_t& page);
