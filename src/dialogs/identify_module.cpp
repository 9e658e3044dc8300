// The identification check on screen: the check itself reports through the
// screen reporter; this draws the name row it decides on.
#include "dialogs/identify_module.h"

#include "dialogs/screen_reporter.h"
#include "transfer/identification.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kNameRow = 2, kNameCol = 15, kNameWidth = 50;

}  // namespace

int IdentifyModule(ModuleSession& module, const char* expected) {
    ScreenReporter reporter;
    SessionReports reports(module, reporter);
    const Identification id = CheckIdentification(module, expected);
    switch (id.row) {
        case NameRow::Unchanged:
            break;
        case NameRow::Blank:
            // A device without a name block passes.
            PutText("", kNameRow, kNameCol, kNameWidth, ' ', tf::Highlight);
            break;
        case NameRow::Show:
            PutText(id.name.c_str(), kNameRow, kNameCol, kNameWidth, ' ',
                    tf::Highlight | tf::Centre);
            break;
    }
    return id.goOn;
}
