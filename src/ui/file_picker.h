// The file picker: a name typed into an eight-character field, or chosen with
// a highlight from a paged list of the matching files (and, when offered, the
// subdirectories) of the current directory, shown from row 14 down.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PickItem {
    std::string name;  // as shown: upper-cased, files without their extension,
                       // cut to seven characters and "~" when longer than eight
    std::string real;  // the directory entry itself (directories are entered by it)
    uint8_t kind;      // 0 file, 1 directory
};

// The current directory's items in the picker's order.
std::vector<PickItem> ListPickItems(const char* pattern, bool offerDirectories);

// 1 with the base name (up to 8 characters) in nameOut (9 bytes), 0 on Esc.
// When a listed file was taken, entryOut (if given) gets the directory entry
// it stands for, which is the one to open (its name may be longer, hold other
// characters or differ from another only by case); empty for a typed name.
int PickFile(int row, int col, const char* pattern, char* nameOut, bool offerDirectories,
             std::string* entryOut = nullptr);
