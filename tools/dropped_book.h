// A book made from pictures or a folder dropped onto the tool (they arrive as its only
// arguments): written beside the first of them, titled after its folder, with default settings,
// under a name that no file has yet, from the viewer beside the tool.
#pragma once
#include <string>
#include <vector>

// Where the book goes and its title, from the first input (UTF-8; a relative path is taken from
// the current folder). A folder: the folder holding it, and its own name. A picture: the folder
// holding it, and that folder's name. A root has no name: then the title is "book".
struct BookPlace {
    std::string folder;
    std::string title;
};
BookPlace droppedBookPlace(const std::string& firstInput);

// "NAME.exe" for number 1, "NAME (N).exe" for the numbers after it.
std::string numberedBookName(const std::string& name, unsigned number);

// The path (UTF-8) in `folder` of the first numbered book name that names nothing there yet;
// empty when every number up to a bound is taken.
std::string freeBookPath(const std::string& folder, const std::string& name);

// True when `arg` (UTF-8) names an existing file or folder.
bool namesExistingPath(const std::string& arg);

// Makes the book of `inputs` with the viewer at `viewerPath` (empty when it could not be found)
// the way make does, so pictures are converted and refused alike. Returns the exit status.
int dropCommand(const std::vector<std::string>& inputs, const std::string& viewerPath);
