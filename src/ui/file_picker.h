// The file picker: a name typed into a field, or chosen with a highlight from
// a paged list of the matching files (and, when offered, the subdirectories)
// of the current directory, shown from row 14 down. Names are shown and taken
// as the directory has them: case kept, any length.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PickItem {
    std::string name;  // as shown: files without their extension, unless two
                       // files would then look the same; characters that
                       // cannot be shown as "?"
    std::string real;  // the directory entry itself (directories are entered by it)
    uint8_t kind;      // 0 file, 1 directory
};

// The current directory's items in the picker's order: by name ignoring
// case, then by the entry itself.
std::vector<PickItem> ListPickItems(const char* pattern, bool offerDirectories);

// The list's layout: every item gets the width of the longest shown name (at
// least 8, so names of eight or fewer stand in eight columns of ten as they
// always have), and as many columns as fit 80; a name longer than a whole
// row is cut and ends in "~".
struct PickLayout {
    int width;    // places per name
    int columns;  // per page, 12 rows each
};
PickLayout PickLayoutOf(const std::vector<PickItem>& items);

// 1 with the name as typed (or the highlighted file's shown name) in
// nameOut, 0 on Esc. fieldWidth places of the name field at (row, col). When
// a listed file was taken, entryOut (if given) gets the directory entry it
// stands for, which is the one to open (its name may be longer than the
// field, hold other characters or differ from another only by case); empty
// for a typed name.
int PickFile(int row, int col, int fieldWidth, const char* pattern, std::string* nameOut,
             bool offerDirectories, std::string* entryOut = nullptr);
