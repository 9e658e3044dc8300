// The "PRINT OFFLINE" dialog: names the output and writes the listing.
#include "editors/print_config.h"

#include "config/config_listing.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/output_device.h"
#include "ui/screen.h"

int PrintConfig(const ConfigDocuments& documents, int16_t model) {
    WindowHandle window = OpenWindow(10, 20, 13, 58, "PRINT OFFLINE");
    PutText("Output file:", 11, 22, 0, ' ', 0);
    char name[35] = "SYS$PRINT";
    const char exits[] = {char(key::Enter), char(key::Esc), 0};
    int printed = 0;
    for (;;) {
        const int k = EditText(name, 12, 22, 34, '_', kPathCharacters, exits,
                               tf::StartWithText | tf::ReplaceOld);
        if (k == key::Esc) break;
        std::string reason;
        auto output = OpenOutputDevice(name, &reason);
        if (!output) {
            ShowErrorWithReason(OpenFailure(name).c_str(), reason);
            continue;
        }
        const std::string listing = ConfigListing(documents.WorkingConfig, documents.PrintProgBaud,
                                                  model, ListingDate(std::time(nullptr)));
        const bool written = output->Write(listing.data(), listing.size());
        // A full disk or a refused print job must not pass for a print-out.
        if (!output->Close() || !written)
            ShowErrorWithReason(WriteFailure(name).c_str(), output->FailureReason());
        else
            printed = 1;
        break;
    }
    CloseWindow(window);
    return printed;
}
