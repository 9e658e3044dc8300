#include "editors/model_mark.h"

#include "ui/screen.h"
#include "ui/text_flags.h"

void ShowModelMark(int16_t model) {
    if (model == 1)
        PutText("PLUS", 1, 14, 4, ' ', tf::Reverse | tf::Highlight);
    else if (model == 0)
        PutText("", 1, 14, 4, ' ', tf::Reverse);
}
