#pragma once

#include <string>
#include <vector>

namespace tavelin {

// The update-rate vocabulary: the rows of the update-rate box, the task interval each text
// gives, and the clock rule for copying the window's own selection.
class UpdateRates {
  public:
    // "No Auto", "15 Min", "30 Min", "1  hrs", "2  hrs", then "01:00" ... "23:00" (28 rows).
    static std::vector<std::string> updateRates();

    // The task interval "hh:mm" a rate text gives; empty when it gives none.
    static std::string intervalFor(const std::string& rateText);

    // Whether the window's selection is copied when the clock shows `clock` ("hh:mm").
    static bool isRunMinute(const std::string& rateText, const std::string& clock);
};

} // namespace tavelin
