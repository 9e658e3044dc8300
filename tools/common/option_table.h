// The command-line option tables of the tools: each option names its
// argument, its help line and how it is stored; one loop applies them. A
// table written for one record (the link settings) can be lifted into the
// options of any tool that holds such a record, so tools share it.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "common/printable.h"

namespace tools {

template <class Options>
struct OptionRow {
    const char* name;
    const char* argument;  // null: a flag
    const char* help;
    std::function<bool(Options&, const char*)> apply;
};

template <class Options>
using OptionTable = std::span<const OptionRow<Options>>;

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

// The rows of a table written for Inner, applied to one member of Outer.
template <class Outer, class Inner>
std::vector<OptionRow<Outer>> LiftOptions(OptionTable<Inner> rows, Inner Outer::*member) {
    std::vector<OptionRow<Outer>> lifted;
    for (const auto& row : rows) {
        auto apply = row.apply;
        lifted.push_back(
            {row.name, row.argument, row.help,
             [apply, member](Outer& o, const char* a) { return apply(o.*member, a); }});
    }
    return lifted;
}

template <class Options>
void PrintOptionHelp(FILE* out, OptionTable<Options> table, int width) {
    for (const auto& option : table) {
        char left[48];
        std::snprintf(left, sizeof left, "%s%s%s", option.name, option.argument ? " " : "",
                      option.argument ? option.argument : "");
        std::fprintf(out, "  %-*s %s\n", width, left, option.help);
    }
}
template <class Options, size_t N>
void PrintOptionHelp(FILE* out, const OptionRow<Options> (&table)[N], int width) {
    PrintOptionHelp(out, OptionTable<Options>(table), width);
}

template <class Options>
const OptionRow<Options>* FindOption(OptionTable<Options> table, const char* name) {
    for (const auto& option : table)
        if (!std::strcmp(name, option.name)) return &option;
    return nullptr;
}

// Applies the option at args[*i] (and its argument, which *i then passes).
// False with a sentence in *error: the option unknown, its value missing or
// refused.
template <class Options>
bool ApplyOption(OptionTable<Options> table, const std::vector<std::string>& args, size_t* i,
                 Options& options, std::string* error) {
    const std::string& name = args[*i];
    const OptionRow<Options>* found = FindOption(table, name.c_str());
    if (!found) return *error = "unknown option " + name, false;
    const char* argument = "";
    if (found->argument) {
        if (*i + 1 >= args.size() || args[*i + 1].empty())
            return *error = name + " needs a value (" + found->argument + ")", false;
        argument = args[++*i].c_str();
    }
    if (!found->apply(options, argument))
        return *error = "bad value for " + name + ": " + argument, false;
    return true;
}

enum class OptionsResult { Parsed, Help, Version, Bad };

template <class Options>
void ReportBadValue(const char* tool, const OptionRow<Options>& option, const char* argument) {
    std::fprintf(stderr, "%s: bad value for %s: \"%s\" (%s %s: %s)\n", tool, option.name,
                 Printable(argument).c_str(), option.name, option.argument ? option.argument : "",
                 option.help);
}

// Applies the option at argv[*i], taking its argument (and moving *i past
// it); false after saying on standard error what was wrong with it.
template <class Options>
bool ApplyOption(const char* tool, int argc, char** argv, OptionTable<Options> table,
                 Options& options, int* i) {
    const OptionRow<Options>* found = FindOption(table, argv[*i]);
    if (!found) {
        std::fprintf(stderr, "%s: unknown option %s\n", tool, Printable(argv[*i]).c_str());
        return false;
    }
    const char* argument = found->argument && *i + 1 < argc ? argv[++*i] : "";
    if ((found->argument && !*argument) || !found->apply(options, argument)) {
        ReportBadValue(tool, *found, argument);
        return false;
    }
    return true;
}

// A word that starts with '-' is an option, unless it is a number (a
// negative value to write) or "-" alone.
inline bool IsOptionWord(const char* word) {
    return word[0] == '-' && word[1] && !(word[1] >= '0' && word[1] <= '9') && word[1] != '.';
}

// Options anywhere on the line, as in "poll 20 2 --interval 500": each is
// applied, the other words are kept in their order in *words. "--" ends the
// options. --help and --version win wherever they stand before it. A bad
// option or value is reported on standard error as "TOOL: ...".
template <class Options>
OptionsResult SplitOptions(const char* tool, int argc, char** argv, OptionTable<Options> table,
                           Options& options, std::vector<std::string>* words) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--"); ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h"))
            return OptionsResult::Help;
        if (!std::strcmp(argv[i], "--version")) return OptionsResult::Version;
    }
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        if (optionsEnded || !IsOptionWord(argv[i])) {
            words->push_back(argv[i]);
            continue;
        }
        if (!std::strcmp(argv[i], "--")) {
            optionsEnded = true;
            continue;
        }
        if (!ApplyOption(tool, argc, argv, table, options, &i)) return OptionsResult::Bad;
    }
    return OptionsResult::Parsed;
}

// The help lines of the options every tool takes.
inline void PrintCommonOptionHelp(FILE* out, int width) {
    std::fprintf(out, "  %-*s %s\n", width, "--help", "print this help and exit (also -h)");
    std::fprintf(out, "  %-*s %s\n", width, "--version", "print the version and exit");
}

// Applies the leading options; *next is the first argument that is not one.
// A bad option or value is reported on standard error as "TOOL: ...".
template <class Options>
OptionsResult ApplyOptions(const char* tool, int argc, char** argv, OptionTable<Options> table,
                           Options& options, int* next) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h"))
            return OptionsResult::Help;
        if (!std::strcmp(argv[i], "--version")) return OptionsResult::Version;
        if (!ApplyOption(tool, argc, argv, table, options, &i)) return OptionsResult::Bad;
    }
    *next = i;
    return OptionsResult::Parsed;
}
template <class Options, size_t N>
OptionsResult ApplyOptions(const char* tool, int argc, char** argv,
                           const OptionRow<Options> (&table)[N], Options& options, int* next) {
    return ApplyOptions(tool, argc, argv, OptionTable<Options>(table), options, next);
}

}  // namespace tools
