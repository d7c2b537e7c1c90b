// renderCommand for builds without the picture libraries.
#include "commands.h"

#include <iostream>

int renderCommand(int, char**) {
    std::cerr << "render is not available in this build\n";
    return 2;
}
