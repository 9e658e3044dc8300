// The port sections of the register map, in send order.
#include "transfer/register_map.h"

namespace {

using K = SectionKind;
using E = Encoding;

constexpr int kFirstPath = 3;
constexpr int kIntervalRow = kFirstPath + 4 * 3;
constexpr int kFirstQuery = kIntervalRow + 1;

}  // namespace

// clang-format off
const PortSection kPortSections[kPortSectionCount] = {
    {K::Comms,         0,    0,  5, E::Numbers},
    {K::AcceptSet,     0,    5, 16, E::BytePairs},
    {K::TerminateSet,  0,   21, 16, E::BytePairs},
    {K::Pattern,       0,   37, 33, E::TerminatedText},
    {K::Mask,          0,   70, 33, E::TerminatedText},
    {K::PathNumbers,   0,  103,  4, E::PathNumbers},
    {K::Pattern,       1,  107, 33, E::TerminatedText},
    {K::Mask,          1,  140, 33, E::TerminatedText},
    {K::PathNumbers,   1,  173,  4, E::PathNumbers},
    {K::Pattern,       2,  177, 33, E::TerminatedText},
    {K::Mask,          2,  210, 33, E::TerminatedText},
    {K::PathNumbers,   2,  243,  4, E::PathNumbers},
    {K::Pattern,       3,  247, 33, E::TerminatedText},
    {K::Mask,          3,  280, 33, E::TerminatedText},
    {K::PathNumbers,   3,  313,  4, E::PathNumbers},
    {K::PollInterval,  0, 1341,  2, E::HighThenLow},
    {K::PollQuery,     0,  317, 32, E::BytePairs},
    {K::PollQuery,     1,  381, 32, E::BytePairs},
    {K::PollQuery,     2,  445, 32, E::BytePairs},
    {K::PollQuery,     3,  509, 32, E::BytePairs},
    {K::PollQuery,     4,  573, 32, E::BytePairs},
    {K::PollQuery,     5,  637, 32, E::BytePairs},
    {K::PollQuery,     6,  701, 32, E::BytePairs},
    {K::PollQuery,     7,  765, 32, E::BytePairs},
    {K::PollQuery,     8,  829, 32, E::BytePairs},
    {K::PollQuery,     9,  893, 32, E::BytePairs},
    {K::PollQuery,    10,  957, 32, E::BytePairs},
    {K::PollQuery,    11, 1021, 32, E::BytePairs},
    {K::PollQuery,    12, 1085, 32, E::BytePairs},
    {K::PollQuery,    13, 1149, 32, E::BytePairs},
    {K::PollQuery,    14, 1213, 32, E::BytePairs},
    {K::PollQuery,    15, 1277, 32, E::BytePairs},
};
// clang-format on

const PortSection& CommsSection() { return kPortSections[0]; }
const PortSection& AcceptSetSection() { return kPortSections[1]; }
const PortSection& TerminateSetSection() { return kPortSections[2]; }
const PortSection& PatternSection(int path) { return kPortSections[kFirstPath + 3 * path]; }
const PortSection& MaskSection(int path) { return kPortSections[kFirstPath + 3 * path + 1]; }
const PortSection& PathNumbersSection(int path) { return kPortSections[kFirstPath + 3 * path + 2]; }
const PortSection& PollIntervalSection() { return kPortSections[kIntervalRow]; }
const PortSection& PollQuerySection(int query) { return kPortSections[kFirstQuery + query]; }
