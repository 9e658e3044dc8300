// Every field of a configuration document described once: its stable name in
// the text form, its name in messages and comparisons, where it lives in the
// document, its type, its range or list of texts, the file layouts that hold
// it and its place in the module's registers. The text form, the range checks
// and the comparison names are drawn from this one table.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/config_file_image.h"
#include "transfer/register_map.h"

// The registers above the rack base that a port's paths and its
// Trigger/Inhibit register may address.
constexpr int kRackWindow = 2047;

// Where a field repeats: once per document, once per port, once per path of a
// port (4), once per poll query of a port (16).
enum class FieldScope : uint8_t { Module, Port, Path, Query };
enum class FieldKind : uint8_t {
    List,     // an index into texts
    Number,   // low..high
    Text,     // 65 bytes, at most 64 characters before the zero
    CharSet,  // 32 bytes, a bit per character code
};
// How the field is held: little-endian signed or unsigned words and bytes.
enum class FieldWidth : uint8_t { S16, U16, U8, U32, Text65, Set32 };

// The layouts a field is part of, one bit per ConfigLayout.
constexpr uint8_t LayoutBit(ConfigLayout layout) { return uint8_t(1u << int(layout)); }
constexpr uint8_t kEveryLayout = 0x1F;
constexpr uint8_t kPlusLayouts = LayoutBit(ConfigLayout::V1113) | LayoutBit(ConfigLayout::V1112);
constexpr uint8_t kPollLayouts = kEveryLayout & ~LayoutBit(ConfigLayout::UnversionedShort);

struct ConfigField {
    const char* key;        // text form: "register_count"
    const char* shownName;  // comparisons: "Register Count" (nullptr: never compared)
    const char* rangeName;  // range messages: "Register Count"
    FieldScope scope;
    FieldKind kind;
    FieldWidth width;
    // Bytes into ConfigFileContents of port 1's field (path 1, query 1), and
    // the distance to the next port and to the next path or query.
    size_t offset;
    uint16_t portStride, itemStride;
    long low, high;            // Number; List: 0 and the last index
    const char* const* texts;  // List: padded as shown, null-terminated
    uint8_t layouts;
    bool plusOnly;       // compared and printed only for a PLUS module
    bool notOnLastPath;  // the module has no such value on path 4
    // In the module: for moduleRegister 0 the port section and the register
    // in it (of path or query 1); else the module-wide register (of port 1
    // for the PLUS values, the next ports following on), or -1 where the
    // module has none (the words a file keeps as read).
    SectionKind section;
    uint8_t sectionWord;
    int moduleRegister;
};

// The table in the order of the print-out: module-wide values, then a port's
// values with its path values between the character sets and the poll
// interval.
const ConfigField* ConfigFieldsBegin();
const ConfigField* ConfigFieldsEnd();
// The row of a text-form key within a scope; nullptr when there is none.
const ConfigField* FindConfigField(FieldScope scope, const std::string& key);

// The row of a key the code itself names ("register_count"); a key not in
// the table is a fault of the program and ends it.
const ConfigField& ConfigFieldNamed(FieldScope scope, const char* key);
// A value brought into the field's range.
long ClampedToField(const ConfigField& field, long value);
// A list field's next entry after index, round to the first.
long NextInList(const ConfigField& field, long index);

// How many times the field repeats within its port: 4 paths, 16 queries, 1.
int FieldItems(const ConfigField& field);
// The field's bytes for port (0-3) and path or query item.
uint8_t* FieldBytes(ConfigFileContents& c, const ConfigField& field, int port, int item);
const uint8_t* FieldBytes(const ConfigFileContents& c, const ConfigField& field, int port,
                          int item);
// A number or list field's value, as held (signed or unsigned by width).
long FieldValue(const ConfigFileContents& c, const ConfigField& field, int port, int item);
void SetFieldValue(ConfigFileContents& c, const ConfigField& field, int port, int item, long value);
// The same for a field held in a port record (moduleRegister 0, not a
// module-wide value), reached from the record itself.
uint8_t* PortFieldBytes(PortConfig& port, const ConfigField& field, int item);
long PortFieldValue(const PortConfig& port, const ConfigField& field, int item);
void SetPortFieldValue(PortConfig& port, const ConfigField& field, int item, long value);
// The number of entries of a list field's texts.
int ListLength(const ConfigField& field);
// A list text without its padding ("ODD " is "ODD").
std::string TrimmedText(const char* text);
// The layouts as the text form names them, in ConfigLayout order:
// "1113", "1112", "1111", "unversioned", "unversioned short".
const char* const* ConfigLayoutTexts();
// Whether the layout holds the field.
inline bool LayoutHolds(ConfigLayout layout, const ConfigField& field) {
    return (field.layouts & LayoutBit(layout)) != 0;
}
