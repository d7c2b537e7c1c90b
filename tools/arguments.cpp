// Parsing a subcommand's arguments.
#include "arguments.h"

namespace {

bool parseDigits(const std::string& digits, unsigned base, uint64_t limit, uint64_t& value) {
    if (digits.empty()) return false;
    value = 0;
    for (char c : digits) {
        unsigned d;
        if (c >= '0' && c <= '9') d = unsigned(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f') d = unsigned(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F') d = unsigned(c - 'A' + 10);
        else return false;
        if (d >= base) return false;
        value = value * base + d;
        if (value > limit) return false;
    }
    return true;
}

}  // namespace

Arguments parseArguments(int argc, char** argv, const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flagOptions) {
    Arguments args;
    for (int i = 1; i < argc && args.error.empty(); ++i) {
        std::string arg = argv[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            args.positional.push_back(arg);
        } else if (flagOptions.count(arg)) {
            args.flags.insert(arg);
        } else if (!valueOptions.count(arg)) {
            args.error = "unknown option " + arg;
        } else if (i + 1 >= argc) {
            args.error = arg + " needs a value";
        } else if (args.has(arg)) {
            args.error = arg + " is given twice";
        } else {
            args.values[arg] = argv[++i];
        }
    }
    return args;
}

bool parseSetting(const std::string& text, uint32_t& value) {
    uint64_t magnitude = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (!parseDigits(text.substr(2), 16, 0xFFFFFFFFu, magnitude)) return false;
        value = uint32_t(magnitude);
        return true;
    }
    if (!text.empty() && text[0] == '-') {
        if (!parseDigits(text.substr(1), 10, 0x80000000u, magnitude)) return false;
        value = uint32_t(0x100000000ull - magnitude);  // two's complement (-0 gives 0)
        return true;
    }
    if (!parseDigits(text, 10, 0xFFFFFFFFu, magnitude)) return false;
    value = uint32_t(magnitude);
    return true;
}

bool parsePage(const std::string& text, uint32_t& page) {
    uint64_t n = 0;
    if (!parseDigits(text, 10, 0xFFFFFFFFu, n) || n == 0) return false;
    page = uint32_t(n);
    return true;
}
