// The field table's rules that the editors and the validation draw on.
#include <gtest/gtest.h>

#include "config/config_fields.h"
#include "config/config_lists.h"

namespace {

// A list key steps through every entry of its field and comes round to the
// first; a damaged value outside the list steps to the first entry too.
TEST(ConfigFields, EveryListStepsThroughAllItsTextsAndComesRound) {
    for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f) {
        if (f->kind != FieldKind::List) continue;
        SCOPED_TRACE(f->key);
        ASSERT_EQ(f->high + 1, ListLength(*f));
        long index = 0;
        for (long n = 1; n <= f->high; ++n) {
            index = NextInList(*f, index);
            EXPECT_EQ(index, n);
        }
        EXPECT_EQ(NextInList(*f, index), 0);
        EXPECT_EQ(NextInList(*f, f->high + 7), 0);
        EXPECT_EQ(NextInList(*f, -3), 0);
    }
}

TEST(ConfigFields, NamedRowsAndTheirRanges) {
    const ConfigField& count = ConfigFieldNamed(FieldScope::Path, "register_count");
    EXPECT_EQ(ClampedToField(count, 65), 64);
    EXPECT_EQ(ClampedToField(count, -5), 0);
    EXPECT_EQ(ClampedToField(count, 17), 17);
    const ConfigField& rack = ConfigFieldNamed(FieldScope::Module, "rack_base");
    EXPECT_EQ(ConfigFieldNamed(FieldScope::Port, "trigger_inhibit").high, rack.high + kRackWindow);
    EXPECT_DEATH(ConfigFieldNamed(FieldScope::Port, "register_count"), "no configuration field");
}

}  // namespace
