// Typed fields: a value shown in the format of its data type, edited as text,
// checked and stored back; choice lists, number lists, forms of fields and
// tables of labels.
#pragma once
#include <cstdint>

#include "ui/data_types.h"
#include "ui/edit_text.h"

struct FieldDescriptor;
// Non-zero when the value is acceptable.
using FieldCheck = int (*)(void* value, int width, const FieldDescriptor* field);

struct FieldDescriptor {
    int16_t row, col, width;
    int16_t dataType;  // 0 choice list, 28 number list; negative: empty allowed
    void* value;
    const char* const* choices;  // choice list: null-terminated texts
    FieldCheck check;            // other types: optional
    uint32_t flags;              // added to the flags passed in
};

struct LabelDescriptor {
    int16_t row, col;
    const char* text;  // null ends the table
    uint32_t flags;
};

int EditNumber(int16_t& value, int row, int col, int width, char fill, const char* exitKeys,
               uint32_t flags);
int ChooseFromList(int row, int col, const char* const* texts, int16_t& index, const char* exitKeys,
                   uint32_t flags);
void DrawChoice(int row, int col, const char* const* texts, int index, int width, uint32_t flags);
int EditNumberList(int row, int col, NumberList& list, uint32_t flags);
// width 0: the list field's own width. A list longer than the width shows as
// "?" in every column: nothing is drawn past a field.
void DrawNumberList(int row, int col, const NumberList& list, uint32_t flags, int width = 0);

int AcceptField(const FieldDescriptor& field, const char* exitKeys, uint32_t flags);
// Walks fields first..last with Up, Down and Enter; returns the key that left.
int EditForm(const FieldDescriptor* fields, int first, int last, int start, const char* exitKeys,
             uint32_t flags);
void DrawField(const FieldDescriptor& field, uint32_t flags);
void DrawFields(const FieldDescriptor* fields, int first, int last, uint32_t flags);
void DrawLabels(const LabelDescriptor* labels);
