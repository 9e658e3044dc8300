// The command-line option tables of the test tools: each option names its
// argument, its help line and how it is stored; one loop applies them.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>

namespace tools {

template <class Options>
struct OptionRow {
    const char* name;
    const char* argument;  // null: a flag
    const char* help;
    std::function<bool(Options&, const char*)> apply;
};

// Decimal or 0x-prefixed hexadecimal, whole text, within [low, high].
template <class T>
bool ToInt(const char* text, long low, long high, T* out) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 0);
    if (!*text || *end || value < low || value > high) return false;
    *out = static_cast<T>(value);
    return true;
}

// The index of the text among the names.
inline bool Choice(const char* text, std::initializer_list<const char*> names, int* out) {
    int i = 0;
    for (const char* name : names) {
        if (std::strcmp(text, name) == 0) return *out = i, true;
        ++i;
    }
    return false;
}

template <class Options, size_t N>
void PrintOptionHelp(FILE* out, const OptionRow<Options> (&table)[N], int width) {
    for (const auto& option : table) {
        char left[48];
        std::snprintf(left, sizeof left, "%s%s%s", option.name, option.argument ? " " : "",
                      option.argument ? option.argument : "");
        std::fprintf(out, "  %-*s %s\n", width, left, option.help);
    }
}

enum class OptionsResult { Parsed, Help, Bad };

// Applies the leading options; *next is the first argument that is not one.
// A bad option or value is reported on standard error as "TOOL: ...".
template <class Options, size_t N>
OptionsResult ApplyOptions(const char* tool, int argc, char** argv,
                           const OptionRow<Options> (&table)[N], Options& options, int* next) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h"))
            return OptionsResult::Help;
        const OptionRow<Options>* found = nullptr;
        for (const auto& option : table)
            if (!std::strcmp(argv[i], option.name)) found = &option;
        const char* argument = found && found->argument && i + 1 < argc ? argv[++i] : "";
        if (!found || (found->argument && !*argument) || !found->apply(options, argument)) {
            std::fprintf(stderr, "%s: bad option or value: %s\n", tool, argv[i]);
            return OptionsResult::Bad;
        }
    }
    *next = i;
    return OptionsResult::Parsed;
}

}  // namespace tools
